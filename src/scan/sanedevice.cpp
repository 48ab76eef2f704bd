#include "scan/sanedevice.h"

#include "scan/frameassembler.h"
#include "scan/sanesession.h"

#include <QByteArray>
#include <QLocale>

#include <sane/saneopts.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Closes the device on every way out, ending a started scan first as SANE requires.
class OpenDevice
{
public:
    explicit OpenDevice(SANE_Handle h) : handle(h) {}
    ~OpenDevice()
    {
        if (started)
            sane_cancel(handle);
        sane_close(handle);
    }
    OpenDevice(const OpenDevice &) = delete;
    OpenDevice &operator=(const OpenDevice &) = delete;

    SANE_Handle handle;
    bool started = false;
};

const SANE_Option_Descriptor *findOption(SANE_Handle h, const QString &name, SANE_Int &index)
{
    SANE_Int count = 0;
    if (sane_control_option(h, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return nullptr;
    const QByteArray key = name.toUtf8();
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor *d = sane_get_option_descriptor(h, i);
        if (d && d->name && key == d->name) {
            index = i;
            return d;
        }
    }
    return nullptr;
}

bool settable(const SANE_Option_Descriptor *d)
{
    return d && SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap);
}

// The device's spelling of value in a string-list option, or empty when it is not listed.
QString listedValue(const SANE_Option_Descriptor *d, const QString &value)
{
    if (!d || d->type != SANE_TYPE_STRING || d->constraint_type != SANE_CONSTRAINT_STRING_LIST)
        return {};
    for (const SANE_String_Const *s = d->constraint.string_list; s && *s; ++s) {
        const QString entry = QString::fromUtf8(*s);
        if (entry.compare(value, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return {};
}

// Sets one option from its value text. Options the device lacks or does not let be set now are
// left alone; a value the option cannot take is refused.
SANE_Status setOption(SANE_Handle h, const QString &name, const QString &value)
{
    SANE_Int index = 0;
    const SANE_Option_Descriptor *d = findOption(h, name, index);
    if (!settable(d))
        return SANE_STATUS_GOOD;
    SANE_Int info = 0;
    const QString v = value.trimmed();
    switch (d->type) {
    case SANE_TYPE_BOOL: {
        SANE_Bool flag;
        const QString lower = v.toLower();
        if (lower == QLatin1String("yes") || lower == QLatin1String("true") || lower == QLatin1String("1"))
            flag = SANE_TRUE;
        else if (lower == QLatin1String("no") || lower == QLatin1String("false") || lower == QLatin1String("0"))
            flag = SANE_FALSE;
        else
            return SANE_STATUS_INVAL;
        return sane_control_option(h, index, SANE_ACTION_SET_VALUE, &flag, &info);
    }
    case SANE_TYPE_INT:
    case SANE_TYPE_FIXED: {
        if (d->size != static_cast<SANE_Int>(sizeof(SANE_Word)))
            return SANE_STATUS_INVAL;
        bool ok = false;
        const double number = QLocale::c().toDouble(v, &ok);
        const double limit = d->type == SANE_TYPE_INT ? 2147483647.0 : 32767.0;
        if (!ok || !std::isfinite(number) || std::fabs(number) > limit)
            return SANE_STATUS_INVAL;
        SANE_Word word = d->type == SANE_TYPE_INT ? static_cast<SANE_Word>(std::lround(number)) : SANE_FIX(number);
        return sane_control_option(h, index, SANE_ACTION_SET_VALUE, &word, &info);
    }
    case SANE_TYPE_STRING: {
        QString chosen = v;
        if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST) {
            chosen = listedValue(d, v);
            if (chosen.isEmpty())
                return SANE_STATUS_INVAL;
        }
        const QByteArray bytes = chosen.toUtf8();
        if (d->size <= 0 || bytes.size() >= d->size)
            return SANE_STATUS_INVAL;
        QByteArray buffer(d->size, '\0');
        std::memcpy(buffer.data(), bytes.constData(), static_cast<std::size_t>(bytes.size()));
        return sane_control_option(h, index, SANE_ACTION_SET_VALUE, buffer.data(), &info);
    }
    default:
        return SANE_STATUS_INVAL;
    }
}

// The value of a single-number option that is active now.
bool readNumber(SANE_Handle h, const QString &name, double &value)
{
    SANE_Int index = 0;
    const SANE_Option_Descriptor *d = findOption(h, name, index);
    if (!d || !SANE_OPTION_IS_ACTIVE(d->cap) || d->size != static_cast<SANE_Int>(sizeof(SANE_Word))
        || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED))
        return false;
    SANE_Word word = 0;
    if (sane_control_option(h, index, SANE_ACTION_GET_VALUE, &word, nullptr) != SANE_STATUS_GOOD)
        return false;
    value = d->type == SANE_TYPE_INT ? double(word) : SANE_UNFIX(word);
    return true;
}

SANE_Status applyOptions(SANE_Handle h, const ScanOptions &options)
{
    QString mode = options.mode.trimmed();
    int depth = options.depth;
    bool depthAsked = depth > 0;
    if (!mode.isEmpty()) {
        const bool lineart = mode.compare(QLatin1String(SANE_VALUE_SCAN_MODE_LINEART), Qt::CaseInsensitive) == 0;
        SANE_Int index = 0;
        if (lineart && listedValue(findOption(h, QStringLiteral(SANE_NAME_SCAN_MODE), index), mode).isEmpty()) {
            // Devices without a line-art mode give line art as grey at 1 bit.
            mode = QStringLiteral(SANE_VALUE_SCAN_MODE_GRAY);
            if (!depthAsked) {
                depth = 1;
                depthAsked = true;
            }
        }
        if (const SANE_Status s = setOption(h, QStringLiteral(SANE_NAME_SCAN_MODE), mode); s != SANE_STATUS_GOOD)
            return s;
        if (depth == 0)
            depth = lineart ? 1 : 8;
    }
    if (depth > 0) {
        const SANE_Status s = setOption(h, QStringLiteral(SANE_NAME_BIT_DEPTH), QString::number(depth));
        // The depth that only follows from the mode is a wish the device may not share.
        if (s != SANE_STATUS_GOOD && depthAsked)
            return s;
    }
    if (options.threePass) {
        const QString value = *options.threePass ? QStringLiteral("yes") : QStringLiteral("no");
        if (const SANE_Status s = setOption(h, QStringLiteral("three-pass"), value); s != SANE_STATUS_GOOD)
            return s;
    }
    if (options.resolution > 0.0) {
        const QString value = QString::number(options.resolution, 'g', 10);
        if (const SANE_Status s = setOption(h, QStringLiteral(SANE_NAME_SCAN_RESOLUTION), value); s != SANE_STATUS_GOOD)
            return s;
    }
    for (const auto &[name, value] : options.extra)
        if (const SANE_Status s = setOption(h, name, value); s != SANE_STATUS_GOOD)
            return s;
    return SANE_STATUS_GOOD;
}

ScanOutcome outcome(ScanOutcome::Kind kind, SANE_Status status = SANE_STATUS_GOOD)
{
    ScanOutcome result;
    result.kind = kind;
    result.status = status;
    return result;
}

} // namespace

ScanOutcome scanWithSane(const QString &deviceName, const ScanOptions &options, const std::atomic_bool &cancel,
                         const ScanProgress &progress)
{
    QString name = deviceName;
    if (name.isEmpty()) {
        const QList<ScannerDevice> devices = listScanners();
        if (devices.isEmpty())
            return outcome(ScanOutcome::NoDevice);
        name = devices.first().name;
    }
    if (cancel)
        return outcome(ScanOutcome::Cancelled);

    SANE_Handle handle = nullptr;
    const SANE_Status opened = sane_open(name.toUtf8().constData(), &handle);
    if (opened != SANE_STATUS_GOOD || !handle)
        return outcome(ScanOutcome::OpenFailed, opened != SANE_STATUS_GOOD ? opened : SANE_STATUS_INVAL);
    OpenDevice device(handle);

    if (const SANE_Status s = applyOptions(handle, options); s != SANE_STATUS_GOOD)
        return outcome(ScanOutcome::Failed, s);
    double xDpi = 0.0;
    if (!readNumber(handle, QStringLiteral(SANE_NAME_SCAN_X_RESOLUTION), xDpi))
        readNumber(handle, QStringLiteral(SANE_NAME_SCAN_RESOLUTION), xDpi);
    double yDpi = xDpi;
    readNumber(handle, QStringLiteral(SANE_NAME_SCAN_Y_RESOLUTION), yDpi);

    FrameAssembler frames;
    std::vector<SANE_Byte> buffer(64 * 1024);
    for (;;) {
        if (cancel)
            return outcome(ScanOutcome::Cancelled);
        const SANE_Status started = sane_start(handle);
        device.started = true;
        if (started == SANE_STATUS_CANCELLED)
            return outcome(ScanOutcome::Cancelled);
        if (started != SANE_STATUS_GOOD)
            return outcome(ScanOutcome::Failed, started);
        SANE_Parameters parameters{};
        if (const SANE_Status s = sane_get_parameters(handle, &parameters); s != SANE_STATUS_GOOD)
            return outcome(ScanOutcome::Failed, s);
        if (const SANE_Status s = frames.beginFrame(parameters); s != SANE_STATUS_GOOD)
            return outcome(ScanOutcome::Failed, s);
        for (;;) {
            if (cancel)
                return outcome(ScanOutcome::Cancelled);
            SANE_Int length = 0;
            const SANE_Status read = sane_read(handle, buffer.data(), static_cast<SANE_Int>(buffer.size()), &length);
            if (read == SANE_STATUS_CANCELLED)
                return outcome(ScanOutcome::Cancelled);
            if (read != SANE_STATUS_GOOD && read != SANE_STATUS_EOF)
                return outcome(ScanOutcome::Failed, read);
            if (length > 0 && length <= static_cast<SANE_Int>(buffer.size())) {
                if (const SANE_Status s = frames.append(buffer.data(), static_cast<std::size_t>(length));
                    s != SANE_STATUS_GOOD)
                    return outcome(ScanOutcome::Failed, s);
                if (progress)
                    progress(frames.receivedBytes(), frames.expectedBytes());
            }
            if (read == SANE_STATUS_EOF)
                break;
        }
        if (parameters.last_frame)
            break;
    }
    ScanOutcome result = outcome(ScanOutcome::Image);
    if (const SANE_Status s = frames.finish(result.image, xDpi, yDpi); s != SANE_STATUS_GOOD)
        return outcome(ScanOutcome::Failed, s);
    return result;
}
