#pragma once

#include <memory>

class Document;
class TWorkingCopyRows;

// The rows conflict solving needs of a working copy this instance just wrote,
// made from the document in memory instead of a parse of the file: each row as
// a parse of its element in the file gives it (a text the parser would change,
// such as one with line breaks or blanks at its ends, is written and read back
// to get exactly that). Only reads the document.
std::unique_ptr<const TWorkingCopyRows> SavedRowsOf(const Document &doc);
