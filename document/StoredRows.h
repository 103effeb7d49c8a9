#pragma once

#include <functional>

class Document;
class TXMLNode;

// Each row of both tables as the document file's element for it, in file order
// (the task table first), made one at a time from the document in memory: the
// texts as stored, before a reader's parse. The element lives only during the
// call.
void ForEachStoredRow(const Document &doc, const std::function<void(const TXMLNode &row)> &take);
