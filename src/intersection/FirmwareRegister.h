#pragma once
// The firmware images of the centre (SCS_M_FIRMWARE) without their window: the
// identifier scheme (kind x 10000 + maker x 100 + module), the filter as numeric
// conditions, loading the rows, reading an image file and the statements of one
// changed row. The size and CRC-32 stored with an image are always those of the
// image bytes written.
#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include "core/GridModel.h"

namespace FirmwareRegister {

struct TFwKey
{
    int Kind = 0;   // 1 MCU, 2 SCU
    int Vendor = 0; // maker code 0 to 99
    int Module = 0; // 0 to 99
};
int FwId(const TFwKey &key);
TFwKey Decode(int fwId);

// The filter of the search: kind 0 for all, maker -1 for all, module 0 for all.
struct TFilter
{
    int Kind = 0;
    int Vendor = -1;
    int Module = 0;
};
// The search with one numeric condition per filled part (bound as :KIND,
// :VENDOR, :MODULE by Bind).
QString SearchSql(const TFilter &filter);
void Bind(QSqlQuery &query, const TFilter &filter);

TGridColumns Columns();
inline const QStringList PrimaryKeys{QStringLiteral("FWType"), QStringLiteral("VendorCD"), QStringLiteral("ModuleNo")};
void LoadRows(TGridModel &model, QSqlQuery &query);

// "0x" and the eight upper-case hexadecimal digits of the bytes' CRC-32.
QString CrcText(const QByteArray &bytes);

// An image read from a file: its bytes, size and CRC text; Error set when the
// file cannot be read.
struct TImage
{
    QByteArray Bytes;
    QString Crc;
    QString Error;
    bool Ok() const { return Error.isEmpty(); }
};
TImage ReadImage(const QString &fileName);
// Puts an image into a record as an operator edit (the row becomes I or M).
void SetImage(TGridModel &model, int rec, const TImage &image);

// The statement of one changed row (throws EGridSaveError). FW_FILENAME is never written.
void SaveRow(QSqlDatabase db, const TGridRow &row);
// The FW_ID a row is saved under, as text.
QString RowFwId(const TGridRow &row);

} // namespace FirmwareRegister
