#pragma once

#include <QString>

// A public holiday: a fixed day and month, or with `easter` set an offset in
// days from Easter Sunday.
struct THolidayData {
    QString name;
    int day = 0;
    int month = 0;
    bool enabled = false;
    bool easter = false;
    bool operator==(const THolidayData &) const = default;
};
