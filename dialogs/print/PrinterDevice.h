#pragma once

#include <QString>

class QPainter;

// The printer values page layout is computed from, all in printer pixels except the
// two sizes in millimetres. The printable area is the part of the sheet the printer
// can reach; the physical page is the whole sheet.
struct TDeviceCaps {
    int HorzSize = 0; // printable width in mm
    int VertSize = 0; // printable height in mm
    int HorzRes = 0; // printable width
    int VertRes = 0; // printable height
    int LogPixelsX = 0; // pixels per inch across
    int LogPixelsY = 0; // pixels per inch down
    int PhysicalWidth = 0; // sheet width
    int PhysicalHeight = 0; // sheet height
    int PhysicalOffsetX = 0; // printable area's left edge on the sheet
    int PhysicalOffsetY = 0; // printable area's top edge on the sheet

    bool operator==(const TDeviceCaps &) const = default;
};

// What a print job needs of a printer: its values, and a painter for one document at
// a time. Page content is recorded without the printer; only printing opens a job.
class IPrinterDevice {
public:
    virtual ~IPrinterDevice() = default;

    virtual TDeviceCaps DeviceCaps() const = 0;

    // Opens a job named `title`; false when the printer or output file cannot be
    // opened, with the reason in ErrorText(), or when the user cancelled (no reason).
    virtual bool BeginDoc(const QString &title) = 0;
    // The open job's painter, origin at the printable area's top left; null
    // without a job.
    virtual QPainter *Canvas() = 0;
    virtual bool NewPage() = 0;
    // Finishes the job; false when the output could not be completed.
    virtual bool EndDoc() = 0;
    // Drops the open job.
    virtual void Abort() = 0;
    virtual bool Printing() const = 0;
    virtual QString ErrorText() const = 0;
};
