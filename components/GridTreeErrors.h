#pragma once

#include <QString>
#include <stdexcept>

// Errors of the tree-grid control that its user may see; they carry a help context.
class EGridTreeError : public std::runtime_error {
public:
    explicit EGridTreeError(const QString &Message, int HelpContext = 0);
    QString Message() const { return FMessage; }
    int HelpContext() const { return FHelpContext; }

private:
    QString FMessage;
    int FHelpContext;
};

// A call the tree's internal consistency forbids (nil where a node is needed,
// deleting during an iteration, ...). Raised to the caller with a fixed text.
class EGridTreeAssertion : public std::logic_error {
public:
    explicit EGridTreeAssertion(const char *Message)
        : std::logic_error(Message)
    { }
};

// Raises EGridTreeError.
[[noreturn]] void ShowError(const QString &Msg, int HelpContext);

// The fixed texts of the node store.
namespace GridTreeTexts {
inline constexpr const char *InternalDataAfterNodes
    = "Internal data allocation must be done before any node is created.";
inline constexpr const char *NodeDataSizeNotInitialized = "NodeDataSize not initialized.";
inline constexpr const char *NilOrRootNode = "Node must neither be nil nor the root node.";
inline constexpr const char *DeleteDuringIteration
    = "Deleting nodes during tree iteration leads to invalid pointers.";
inline constexpr const char *NoUserDataSpace
    = "Cannot set initial user data because there is not enough user data space allocated.";
inline constexpr int NoUserDataSpaceHelpContext = 2008;
inline constexpr const char *TargetInsideSource
    = "Target node cannot be a child node of the node to be moved.";
inline constexpr const char *SourceNotInTree = "The source tree must contain the source node.";
inline constexpr const char *NodeIsRoot = "Node must not be the hidden root node.";
inline constexpr const char *NodeIsNil = "Node must not be nil.";
inline constexpr const char *InvalidParameter = "Invalid parameter.";
inline constexpr const char *InvalidParameters = "Invalid parameters.";
inline constexpr const char *BothNodesAssigned = "Both nodes must be Assigned.";
inline constexpr const char *TreeMustNotBeNil = "Tree must not be nil.";
inline constexpr const char *NodesNeverNil = "Nodes must never be nil.";
inline constexpr const char *EndOperationWithoutBegin
    = "EndOperation must not be called when no operation in progress.";
// Our own: a typed record must not be overwritten with raw pointer bytes, and
// nodes cannot change trees without the stream format.
inline constexpr const char *UserDataOnTypedRecord
    = "Cannot set initial user data because the node data is a typed record.";
inline constexpr const char *NodeDataTypeMismatch = "The node data is not of the requested type.";
inline constexpr const char *MoveBetweenTrees = "Nodes cannot be moved into another tree.";
} // namespace GridTreeTexts
