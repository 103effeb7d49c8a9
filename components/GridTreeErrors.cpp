#include "components/GridTreeErrors.h"

EGridTreeError::EGridTreeError(const QString &Message, int HelpContext)
    : std::runtime_error(Message.toStdString())
    , FMessage(Message)
    , FHelpContext(HelpContext)
{ }

void ShowError(const QString &Msg, int HelpContext)
{
    throw EGridTreeError(Msg, HelpContext);
}
