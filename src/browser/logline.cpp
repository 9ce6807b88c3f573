#include "logline.h"

#include "text/fixedwidth.h"
#include "text/textforms.h"

namespace kx47
{

namespace
{

const QString columnHeader =
    QStringLiteral(" Call       |  WWLoc | Place                         |Prov "
                   "| Mode    | Band   | Date       | Time  | Qsl");
const QString square = QStringLiteral("KX47");

enum Width {
    callWidth = 11,
    locatorWidth = 6,
    placeWidth = 29,
    provWidth = 3,
    modeWidth = 7,
    bandWidth = 6,
    dateWidth = 10,
    timeWidth = 5,
    qslWidth = 1
};

} // namespace

QString LogLine::header()
{
    return columnHeader;
}

QString LogLine::text(const LogLineFields &fields)
{
    return fixedLine({{fields.call, callWidth},
                      {square + fields.wwLocator, locatorWidth},
                      {fields.place, placeWidth},
                      {fields.prov, provWidth},
                      {fields.mode, modeWidth},
                      {fields.band, bandWidth},
                      {dateText(fields.date), dateWidth},
                      {listTime(fields.time), timeWidth},
                      {fields.qsl, qslWidth}});
}

} // namespace kx47
