#include "platform/real/SaneScanner.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <QByteArray>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

struct SaneScanner::Api {
    decltype(&::sane_init) init = nullptr;
    decltype(&::sane_exit) exit = nullptr;
    decltype(&::sane_get_devices) getDevices = nullptr;
    decltype(&::sane_open) open = nullptr;
    decltype(&::sane_close) close = nullptr;
    decltype(&::sane_get_option_descriptor) optionDescriptor = nullptr;
    decltype(&::sane_control_option) controlOption = nullptr;
    decltype(&::sane_start) start = nullptr;
    decltype(&::sane_get_parameters) parameters = nullptr;
    decltype(&::sane_read) read = nullptr;
    decltype(&::sane_cancel) cancel = nullptr;
};

namespace {

// Pages one acquisition takes from a document feeder at most, so a feeder that never reports
// itself empty cannot scan forever.
constexpr int maxFeederPages = 500;
// The largest page, in bytes, read into memory: far above any scanner page at 150 dpi, and a
// bound for a backend that reports nonsense sizes.
constexpr qsizetype maxPageBytes = qsizetype(512) * 1024 * 1024;

template <typename Function> bool resolve(QLibrary& library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(library.resolve(name));
    return function != nullptr;
}

// An open device, closed when it goes.
class Device {
public:
    Device(const SaneScanner::Api& api, SANE_Handle handle) : m_api(api), m_handle(handle) {}
    ~Device()
    {
        m_api.cancel(m_handle);
        m_api.close(m_handle);
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    SANE_Handle handle() const { return m_handle; }

    // The settable, active option of that name, or 0.
    SANE_Int option(const char* name, const SANE_Option_Descriptor** descriptor) const
    {
        SANE_Int count = 0;
        if (m_api.controlOption(m_handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) !=
            SANE_STATUS_GOOD)
            return 0;
        for (SANE_Int i = 1; i < count; ++i) {
            const SANE_Option_Descriptor* d = m_api.optionDescriptor(m_handle, i);
            if (d && d->name && std::strcmp(d->name, name) == 0 && SANE_OPTION_IS_ACTIVE(d->cap)) {
                *descriptor = d;
                return i;
            }
        }
        return 0;
    }

    QString stringValue(const char* name) const
    {
        const SANE_Option_Descriptor* d = nullptr;
        const SANE_Int index = option(name, &d);
        if (!index || d->type != SANE_TYPE_STRING || d->size <= 0)
            return {};
        QByteArray value(d->size, '\0');
        if (m_api.controlOption(m_handle, index, SANE_ACTION_GET_VALUE, value.data(), nullptr) !=
            SANE_STATUS_GOOD)
            return {};
        return QString::fromUtf8(value.constData());
    }

    // Colour where the mode list offers it: "Color" itself, else a colour mode that is neither
    // line art nor halftone ("24bit Color").
    void chooseColourMode()
    {
        const SANE_Option_Descriptor* d = nullptr;
        const SANE_Int index = option(SANE_NAME_SCAN_MODE, &d);
        if (!index || !SANE_OPTION_IS_SETTABLE(d->cap) || d->type != SANE_TYPE_STRING ||
            d->constraint_type != SANE_CONSTRAINT_STRING_LIST)
            return;
        const char* chosen = nullptr;
        for (const SANE_String_Const* mode = d->constraint.string_list; *mode; ++mode) {
            const QString name = QString::fromUtf8(*mode);
            if (name.compare(QLatin1String(SANE_VALUE_SCAN_MODE_COLOR), Qt::CaseInsensitive) == 0) {
                chosen = *mode;
                break;
            }
            if (!chosen && name.contains(QLatin1String("color"), Qt::CaseInsensitive) &&
                !name.contains(QLatin1String("lineart"), Qt::CaseInsensitive) &&
                !name.contains(QLatin1String("halftone"), Qt::CaseInsensitive))
                chosen = *mode;
        }
        if (!chosen)
            return;
        QByteArray value(qMax<qsizetype>(d->size, qsizetype(std::strlen(chosen)) + 1), '\0');
        std::memcpy(value.data(), chosen, std::strlen(chosen));
        m_api.controlOption(m_handle, index, SANE_ACTION_SET_VALUE, value.data(), nullptr);
    }

    // Sets a resolution option to the allowed value nearest dotsPerInch; the value it then has,
    // or 0 when the device has no such option.
    double setResolution(const char* name, int dotsPerInch)
    {
        const SANE_Option_Descriptor* d = nullptr;
        const SANE_Int index = option(name, &d);
        if (!index || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED))
            return 0;
        const bool fixed = d->type == SANE_TYPE_FIXED;
        const auto toDots = [fixed](SANE_Word word) {
            return fixed ? SANE_UNFIX(word) : double(word);
        };
        const auto toWord = [fixed](double dots) {
            return fixed ? SANE_FIX(dots) : SANE_Word(std::lround(dots));
        };
        SANE_Word value = toWord(dotsPerInch);
        if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST) {
            const SANE_Word* list = d->constraint.word_list;
            double best = std::numeric_limits<double>::max();
            for (SANE_Word i = 1; i <= list[0]; ++i) {
                const double distance = std::abs(toDots(list[i]) - dotsPerInch);
                if (distance < best) {
                    best = distance;
                    value = list[i];
                }
            }
        } else if (d->constraint_type == SANE_CONSTRAINT_RANGE) {
            value = qBound(d->constraint.range->min, value, d->constraint.range->max);
        }
        if (SANE_OPTION_IS_SETTABLE(d->cap))
            m_api.controlOption(m_handle, index, SANE_ACTION_SET_VALUE, &value, nullptr);
        SANE_Word now = 0;
        if (m_api.controlOption(m_handle, index, SANE_ACTION_GET_VALUE, &now, nullptr) !=
            SANE_STATUS_GOOD)
            return 0;
        return toDots(now);
    }

    bool feedsDocuments() const
    {
        const QString source = stringValue(SANE_NAME_SCAN_SOURCE);
        for (const char* word : {"adf", "feeder", "duplex"}) {
            if (source.contains(QLatin1String(word), Qt::CaseInsensitive))
                return true;
        }
        return false;
    }

private:
    const SaneScanner::Api& m_api;
    SANE_Handle m_handle;
};

// Sample s of a row of SANE data at depth 1, 8 or 16, as 0..255. One-bit grey samples are black
// when set; one-bit colour samples are full intensity when set.
int sample(const uchar* row, int s, int depth, bool grey)
{
    switch (depth) {
    case 8:
        return row[s];
    case 16:
        return qFromUnaligned<quint16>(row + 2 * s) >> 8;
    default: {
        const bool set = row[s / 8] & (0x80 >> (s % 8));
        return set == grey ? 0 : 255;
    }
    }
}

// Puts one frame into picture: a grey or RGB frame fills every channel, a single-colour frame
// its own. The picture is made at the frame's size when it is still null.
void putFrame(const QByteArray& data, const SANE_Parameters& p, int lines, QImage& picture)
{
    if (picture.isNull()) {
        picture = QImage(p.pixels_per_line, lines, QImage::Format_RGB32);
        picture.fill(Qt::white);
    }
    const int width = qMin(p.pixels_per_line, picture.width());
    const int height = qMin(lines, picture.height());
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const uchar*>(data.constData()) + qsizetype(y) * p.bytes_per_line;
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (p.format) {
            case SANE_FRAME_GRAY: {
                const int v = sample(row, x, p.depth, true);
                out[x] = qRgb(v, v, v);
                break;
            }
            case SANE_FRAME_RGB:
                out[x] =
                    qRgb(sample(row, 3 * x, p.depth, false), sample(row, 3 * x + 1, p.depth, false),
                         sample(row, 3 * x + 2, p.depth, false));
                break;
            case SANE_FRAME_RED:
                out[x] = qRgb(sample(row, x, p.depth, false), qGreen(out[x]), qBlue(out[x]));
                break;
            case SANE_FRAME_GREEN:
                out[x] = qRgb(qRed(out[x]), sample(row, x, p.depth, false), qBlue(out[x]));
                break;
            case SANE_FRAME_BLUE:
                out[x] = qRgb(qRed(out[x]), qGreen(out[x]), sample(row, x, p.depth, false));
                break;
            }
        }
    }
}

bool knownLayout(const SANE_Parameters& p)
{
    if (p.depth != 1 && p.depth != 8 && p.depth != 16)
        return false;
    if (p.format > SANE_FRAME_BLUE || p.pixels_per_line <= 0 || p.bytes_per_line <= 0)
        return false;
    const qint64 samples = qint64(p.pixels_per_line) * (p.format == SANE_FRAME_RGB ? 3 : 1);
    return (samples * p.depth + 7) / 8 <= p.bytes_per_line;
}

} // namespace

SaneScanner::SaneScanner(const QString& libraryName, int version) : m_library(libraryName, version)
{
}

SaneScanner::~SaneScanner()
{
    unload();
}

bool SaneScanner::load()
{
    unload();
    if (!m_library.isLoaded() && !m_library.load())
        return false;
    auto api = std::make_unique<Api>();
    const bool complete = resolve(m_library, "sane_init", api->init) &&
                          resolve(m_library, "sane_exit", api->exit) &&
                          resolve(m_library, "sane_get_devices", api->getDevices) &&
                          resolve(m_library, "sane_open", api->open) &&
                          resolve(m_library, "sane_close", api->close) &&
                          resolve(m_library, "sane_get_option_descriptor", api->optionDescriptor) &&
                          resolve(m_library, "sane_control_option", api->controlOption) &&
                          resolve(m_library, "sane_start", api->start) &&
                          resolve(m_library, "sane_get_parameters", api->parameters) &&
                          resolve(m_library, "sane_read", api->read) &&
                          resolve(m_library, "sane_cancel", api->cancel);
    if (!complete)
        return false;
    SANE_Int version = 0;
    if (api->init(&version, nullptr) != SANE_STATUS_GOOD)
        return false;
    if (SANE_VERSION_MAJOR(version) != SANE_CURRENT_MAJOR) {
        api->exit();
        return false;
    }
    m_api = std::move(api);
    return true;
}

void SaneScanner::unload()
{
    if (!m_api)
        return;
    m_api->exit();
    m_api.reset();
}

QList<ScanSource> SaneScanner::sources()
{
    QList<ScanSource> result;
    const SANE_Device** devices = nullptr;
    if (!m_api || m_api->getDevices(&devices, SANE_FALSE) != SANE_STATUS_GOOD || !devices)
        return result;
    for (const SANE_Device** device = devices; *device; ++device) {
        const SANE_Device& d = **device;
        result.append({QString::fromUtf8(d.name), QString::fromUtf8(d.model ? d.model : d.name)});
    }
    return result;
}

bool SaneScanner::acquire(const QString& device, int dotsPerInch,
                          const std::function<void(const QImage&)>& onPage)
{
    if (!m_api || m_stop)
        return false;
    SANE_Handle handle = nullptr;
    if (m_api->open(device.toUtf8().constData(), &handle) != SANE_STATUS_GOOD || !handle)
        return false;
    Device open(*m_api, handle);
    open.chooseColourMode();
    double across = open.setResolution(SANE_NAME_SCAN_RESOLUTION, dotsPerInch);
    double down = across;
    if (const double x = open.setResolution(SANE_NAME_SCAN_X_RESOLUTION, dotsPerInch))
        across = x;
    if (const double y = open.setResolution(SANE_NAME_SCAN_Y_RESOLUTION, dotsPerInch))
        down = y;
    const bool feeder = open.feedsDocuments();

    for (int page = 0; page < (feeder ? maxFeederPages : 1); ++page) {
        // After a page the next sane_start feeds the next document; an empty feeder says so.
        if (m_stop || m_api->start(handle) != SANE_STATUS_GOOD)
            return page > 0;
        QImage picture = readPage(handle);
        if (picture.isNull())
            return true;
        if (across > 0 && down > 0) {
            picture.setDotsPerMeterX(int(std::lround(across / 0.0254)));
            picture.setDotsPerMeterY(int(std::lround(down / 0.0254)));
        }
        onPage(picture);
    }
    return true;
}

QImage SaneScanner::readPage(void* handle)
{
    QImage picture;
    for (bool firstFrame = true;; firstFrame = false) {
        // Every frame of a three-pass scan after the first starts as a page does.
        if (!firstFrame && m_api->start(handle) != SANE_STATUS_GOOD)
            return {};
        SANE_Parameters p{};
        if (m_api->parameters(handle, &p) != SANE_STATUS_GOOD || !knownLayout(p))
            return {};
        QByteArray data;
        if (p.lines > 0) {
            const qsizetype expected = qsizetype(p.lines) * p.bytes_per_line;
            if (expected > maxPageBytes)
                return {};
            data.reserve(expected);
        }
        SANE_Byte buffer[64 * 1024];
        for (;;) {
            if (m_stop)
                return {};
            SANE_Int length = 0;
            const SANE_Status status = m_api->read(handle, buffer, sizeof buffer, &length);
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD || data.size() + length > maxPageBytes)
                return {};
            data.append(reinterpret_cast<const char*>(buffer), length);
        }
        // A hand scanner knows its height only at the end.
        const int lines = int(data.size() / p.bytes_per_line);
        if (lines <= 0)
            return {};
        putFrame(data, p, p.lines > 0 ? qMin(p.lines, lines) : lines, picture);
        if (p.last_frame)
            return picture;
    }
}
