#pragma once

#include <QString>
#include <functional>

class TPrintJob;

// Shortens a path to fit `maxWidth` (as `textWidth` measures) by putting "..." in
// place of its leading folders, one at a time ("/home/anna/plans/Plan.kez",
// ".../anna/plans/Plan.kez", ".../plans/Plan.kez", ".../Plan.kez"); when even that is
// too wide, the file name itself is cut at the end ("Pla...").
QString MinimizeName(
    const QString &fileName, const std::function<int(const QString &)> &textWidth, int maxWidth);

// Registers the standard header and footer lines of a printout on `job`, which needs
// a current page: the title (20 pt, centred on header line 2, an empty 10 pt line 1
// below it) when not empty; "Stand: <now>" in grey, right-aligned on the title's line
// or on line 1; the footer text on footer line -1 when not empty; the document's
// file name when `fileName` is not empty (on a line of its own when it is wider than
// 0.45 of the body, shortened to the body width); and "Page n/m" centred on the
// footer line after the footer text. The current font is as before afterwards.
void AddDefaultHeaderAndFooter(
    TPrintJob &job, const QString &title, const QString &footer, const QString &fileName);
