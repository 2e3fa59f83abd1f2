#include "RecordingOpenView.h"

#include "UserMessage.h"

namespace lumiset {

QStringList RecordingOpenView::reportLines() const
{
    if (reportText.isEmpty())
        return {};
    return reportText.split(kCrLf);
}

} // namespace lumiset
