#pragma once
// The printed handover record: what it says, already as text, and how it is
// laid out on paper. A4 portrait; every page carries the organisation, the
// print time and "Strana N od M"; the table's header repeats on every page;
// the item count, a signature line for every colleague who handed items over
// and one for the recipient close the record.

#include "DataScript.h"

#include <QDateTime>
#include <QList>
#include <QPageLayout>
#include <QStringList>

class QPagedPaintDevice;

struct THandoverRecord
{
    QString Organization;
    QString Title;
    QDateTime PrintedAt;      // a kept record's own time, so a reprint says the same
    QString Recipient;        // empty: a line to write it in by hand
    QStringList HandedOverBy; // one signature line each; named in the head when only one
    QStringList Captions;     // the table's columns
    QList<int> Widths;        // their relative widths
    QList<QStringList> Rows;
    QList<int> CaptionColumns; // columns of the program's words (a direction, "Da"), not data
    QString ChainHead;        // the history's chain head, printed last when there is one
};

// The record with its data in script (the organisation, the names and every
// cell outside CaptionColumns); as it was for "kako je uneto". Done only
// for the paper: a kept record's stored rows stay as typed.
THandoverRecord HandoverRecordInScript(THandoverRecord record, const TDataScript &script);

// The page the record is laid out for.
QPageLayout HandoverRecordPageLayout();

// Paints the record on the device, page by page; false when the device
// cannot be painted on (a file that cannot be written, say).
bool PaintHandoverRecord(const THandoverRecord &record, QPagedPaintDevice &device);
