#include "core/kovrant.h"

#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace {

AllocationFailureHandler &failureHandler()
{
    static AllocationFailureHandler handler;
    return handler;
}

QString allocationMessage(int number, std::size_t bytes)
{
    return QStringLiteral("Error %1 while trying to allocate %2 bytes of RAM. Not enough memory.")
        .arg(number)
        .arg(bytes);
}

} // namespace

void setAllocationFailureHandler(AllocationFailureHandler handler)
{
    failureHandler() = std::move(handler);
}

void reportAllocationFailure(const QString &message)
{
    if (failureHandler())
        failureHandler()(message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

TDynaArray::TDynaArray(std::uint32_t thesize, void **typpoi) : outeraobj(typpoi), size(thesize) {}

TDynaArray::~TDynaArray()
{
    std::free(poi);
    poi = nullptr;
    aobj = nullptr;
    aobjnr = -1;
}

void TDynaArray::publish()
{
    if (outeraobj)
        *outeraobj = aobj;
}

std::size_t TDynaArray::blockBytes(std::uint32_t records) const
{
    if (records == 0)
        return 0;
    // A step of 0 would never allocate, so records would be written through a missing block.
    const std::uint64_t step = buffersize == 0 ? 1 : buffersize;
    // Computed wide: a product beyond the address space is a failed request, never a wrap-around.
    const std::uint64_t steps = (records - 1) / step + 1;
    const std::uint64_t stepBytes = std::uint64_t(size) * step;
    const std::uint64_t limit = std::numeric_limits<std::size_t>::max() / 2;
    if (stepBytes != 0 && steps > limit / stepBytes)
        return std::numeric_limits<std::size_t>::max();
    return static_cast<std::size_t>(steps * stepBytes);
}

bool TDynaArray::AllocMoreMem(bool &replaced)
{
    replaced = false;
    const std::size_t bytes = blockBytes(count);
    if (bytes == amemsize)
        return true;
    const bool first = count == 1 || poi == nullptr;
    void *block = bytes == std::numeric_limits<std::size_t>::max() ? nullptr : std::calloc(1, bytes);
    if (!block) {
        if (first)
            reportAllocationFailure(allocationMessage(1, bytes));
        else
            reportAllocationFailure(allocationMessage(2, bytes) + QString::number(errno));
        return false;
    }
    if (!first) {
        // After the owner changed the step the new block may be smaller than the old one.
        std::memcpy(block, poi, std::min(amemsize, bytes));
        std::free(poi);
    }
    poi = block;
    amemsize = bytes;
    replaced = true;
    return true;
}

bool TDynaArray::AllocLessMem()
{
    const std::size_t bytes = blockBytes(count);
    if (bytes == amemsize)
        return true;
    if (count == 0) {
        std::free(poi);
        poi = nullptr;
        amemsize = 0;
        return true;
    }
    void *block = std::calloc(1, bytes);
    if (!block) {
        // The old, larger block still holds every record, so the array stays usable.
        reportAllocationFailure(allocationMessage(3, bytes));
        return false;
    }
    std::memcpy(block, poi, std::min(amemsize, bytes));
    std::free(poi);
    poi = block;
    amemsize = bytes;
    return true;
}

void *TDynaArray::GetObject(std::uint32_t Index)
{
    aobjnr = static_cast<std::int32_t>(Index);
    aobj = static_cast<char *>(poi) + static_cast<std::size_t>(Index) * size;
    publish();
    return aobj;
}

void *TDynaArray::Add()
{
    // Appending is inserting after the last record: the new record is zeroed either way.
    return Insert(static_cast<std::int32_t>(count));
}

void *TDynaArray::Insert(std::int32_t nr)
{
    if (nr < 0 || static_cast<std::uint32_t>(nr) > count || count == std::numeric_limits<std::int32_t>::max())
        return nullptr;
    ++count;
    bool replaced = false;
    if (!AllocMoreMem(replaced)) {
        --count;
        return nullptr;
    }
    char *base = static_cast<char *>(poi);
    const std::size_t at = static_cast<std::size_t>(nr) * size;
    std::memmove(base + at + size, base + at, static_cast<std::size_t>(count - nr - 1) * size);
    std::memset(base + at, 0, size);
    return GetObject(static_cast<std::uint32_t>(nr));
}

void TDynaArray::Delete(std::int32_t nr)
{
    if (nr < 0 || static_cast<std::uint32_t>(nr) >= count)
        return;
    char *base = static_cast<char *>(poi);
    for (std::uint32_t i = static_cast<std::uint32_t>(nr); i + 1 < count; ++i)
        std::memcpy(base + static_cast<std::size_t>(i) * size, base + static_cast<std::size_t>(i + 1) * size, size);
    --count;
    AllocLessMem();
    aobjnr = -1;
    aobj = nullptr;
    publish();
}

void TDynaArray::Change(std::int32_t nr1, std::int32_t nr2)
{
    if (nr1 < 0 || nr2 < 0 || static_cast<std::uint32_t>(nr1) >= count || static_cast<std::uint32_t>(nr2) >= count)
        return;
    void *buffer = std::malloc(size);
    if (!buffer) {
        reportAllocationFailure(allocationMessage(1, size));
        return;
    }
    char *base = static_cast<char *>(poi);
    char *a = base + static_cast<std::size_t>(nr1) * size;
    char *b = base + static_cast<std::size_t>(nr2) * size;
    std::memcpy(buffer, a, size);
    std::memmove(a, b, size);
    std::memcpy(b, buffer, size);
    std::free(buffer);
    GetObject(static_cast<std::uint32_t>(nr2));
}

void TDynaArray::Clear()
{
    count = 0;
    std::free(poi);
    poi = nullptr;
    aobjnr = -1;
    aobj = nullptr;
    amemsize = 0;
    publish();
}

void TDynaArray::swap(TDynaArray &other)
{
    std::swap(aobj, other.aobj);
    std::swap(poi, other.poi);
    std::swap(count, other.count);
    std::swap(aobjnr, other.aobjnr);
    std::swap(amemsize, other.amemsize);
    std::swap(size, other.size);
    std::swap(buffersize, other.buffersize);
    publish();
    other.publish();
}

void TDynaArray::First()
{
    if (count > 0)
        GetObject(0);
}

bool TDynaArray::Next()
{
    if (count > 0 && aobjnr >= -1 && aobjnr < static_cast<std::int32_t>(count) - 1) {
        GetObject(static_cast<std::uint32_t>(aobjnr + 1));
        return true;
    }
    return false;
}

bool TDynaArray::WhileNext()
{
    if (count > 0 && aobjnr >= 0 && aobjnr <= static_cast<std::int32_t>(count) - 1) {
        GetObject(static_cast<std::uint32_t>(aobjnr));
        ++aobjnr;
        return true;
    }
    return false;
}

bool writefilestring(QIODevice &F, const QString &S)
{
    const qint32 n = static_cast<qint32>(S.size());
    const qint32 le = qToLittleEndian(n);
    if (F.write(reinterpret_cast<const char *>(&le), 4) != 4)
        return false;
    if (n == 0)
        return true;
    QByteArray units(n * 2, Qt::Uninitialized);
    for (qint32 i = 0; i < n; ++i)
        qToLittleEndian<quint16>(S.at(i).unicode(), units.data() + 2 * i);
    return F.write(units) == units.size();
}

bool readfilestring(QIODevice &F, QString &S)
{
    S.clear();
    char raw[4];
    if (F.read(raw, 4) != 4)
        return false;
    const qint32 n = qFromLittleEndian<qint32>(raw);
    if (n == 0)
        return true;
    if (n < 0)
        return false;
    const qint64 bytes = static_cast<qint64>(n) * 2;
    // Never allocate more than the data can hold: a count beyond the rest of the file is damage.
    if (!F.isSequential() && bytes > F.size() - F.pos())
        return false;
    QByteArray units;
    while (units.size() < bytes) {
        const QByteArray chunk = F.read(qMin<qint64>(bytes - units.size(), 1 << 20));
        if (chunk.isEmpty())
            return false;
        units += chunk;
    }
    S.resize(n);
    for (qint32 i = 0; i < n; ++i)
        S[i] = QChar(qFromLittleEndian<quint16>(units.constData() + 2 * i));
    return true;
}
