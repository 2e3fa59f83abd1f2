#include "RecordingOpenView.h"

namespace lumiset {

QStringList RecordingOpenView::reportLines() const
{
    if (reportText.isEmpty())
        return {};
    return reportText.split(QStringLiteral("\r\n"));
}

} // namespace lumiset
