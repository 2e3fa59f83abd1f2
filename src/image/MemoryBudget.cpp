#include "MemoryBudget.h"

#include <QCoreApplication>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace lumiset {

namespace {
qint64 g_override = -1;

struct SizeRefusal {
    Q_DECLARE_TR_FUNCTIONS(SizeRefusal)
};
} // namespace

void overrideAvailableMemory(qint64 bytes)
{
    g_override = bytes;
}

qint64 availableMemory()
{
    if (g_override >= 0)
        return g_override;
#if defined(Q_OS_WIN)
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status))
        return qint64(status.ullAvailPhys);
    return -1;
#else
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    while (!meminfo.atEnd()) {
        const QByteArray line = meminfo.readLine();
        if (line.startsWith("MemAvailable:")) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() >= 2)
                return parts[1].toLongLong() * 1024;
        }
    }
    return -1;
#endif
}

SizeVerdict checkPictureSize(qint64 width, qint64 height, int planes)
{
    if (width <= 0 || height <= 0)
        return SizeVerdict::Empty;
    // Both factors are below 2^32 here, so the product cannot overflow 64 bits.
    const qint64 pixels = width * height;
    if (pixels > kMaxPixels)
        return SizeVerdict::TooManyPixels;
    const qint64 available = availableMemory();
    if (available >= 0 && pixels * planes > available - kMemoryReserve)
        return SizeVerdict::NotEnoughMemory;
    return SizeVerdict::Fits;
}

QString sizeRefusalNotice(SizeVerdict verdict, qint64 width, qint64 height, qint64 bytesPerPixel)
{
    const QString size = QString::number(width) + QStringLiteral(" x ") + QString::number(height);
    switch (verdict) {
    case SizeVerdict::Fits: return {};
    case SizeVerdict::Empty: return SizeRefusal::tr("Изображение без точек (%1)\r\nне поддерживается.").arg(size);
    case SizeVerdict::TooManyPixels:
        return SizeRefusal::tr("Изображение %1 слишком велико:\r\nбольше %2 точек не поддерживается.")
            .arg(size, QString::number(kMaxPixels));
    case SizeVerdict::NotEnoughMemory:
        return SizeRefusal::tr("Изображению %1 не хватит памяти:\r\nнужно %2 МБ, свободно %3 МБ.")
            .arg(size, QString::number((width * height * bytesPerPixel + kMemoryReserve) >> 20),
                 QString::number(qMax<qint64>(availableMemory(), 0) >> 20));
    }
    return {};
}

} // namespace lumiset
