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
// Our own: a typed record must not be overwritten with raw pointer bytes.
inline constexpr const char *UserDataOnTypedRecord
    = "Cannot set initial user data because the node data is a typed record.";
inline constexpr const char *NodeDataTypeMismatch = "The node data is not of the requested type.";

// The tree stream.
inline constexpr const char *StreamTooShort = "Unable to load tree structure, not enough data available.";
inline constexpr int StreamTooShortHelpContext = 2004;
inline constexpr const char *StreamWrongFormat = "Unable to load tree structure, the format is wrong.";
inline constexpr int StreamWrongFormatHelpContext = 2002;
inline constexpr const char *StreamWrongVersion = "Unable to load tree structure, the version is unknown.";
inline constexpr int StreamWrongVersionHelpContext = 2003;
inline constexpr const char *StreamNoAnchor = "Stream data corrupt. A node's anchor chunk is missing.";
inline constexpr int StreamNoAnchorHelpContext = 2005;
inline constexpr const char *StreamPastNodeEnd
    = "Stream data corrupt. Unexpected data after node's end position.";
inline constexpr int StreamPastNodeEndHelpContext = 2006;
inline constexpr const char *RootFromStream = "The root node cannot be loaded from stream.";
// Our own: deeper nesting than any tree needs would exhaust the stack of the
// node store's recursive walks; a device that refuses bytes; a file that
// cannot be opened.
inline constexpr const char *StreamTooDeep = "Stream data corrupt. Nodes are nested too deeply.";
inline constexpr const char *StreamNotWritten = "Unable to write the data, the stream refused it.";
inline constexpr const char *FileNotOpened = "Unable to open the file \"%1\": %2";
// The header's record (our own texts).
inline constexpr const char *HeaderTooShort = "Unable to load the header, not enough data available.";
inline constexpr const char *HeaderWrongVersion = "Unable to load the header, the version is unknown.";
inline constexpr const char *HeaderInvalid = "Unable to load the header, the data is invalid.";
} // namespace GridTreeTexts
