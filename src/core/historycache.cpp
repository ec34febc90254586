// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/historycache.h"

#include "core/practicehistory.h"
#include "core/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>

namespace rinkaro
{

namespace
{

constexpr char imageMagic[8] = {'R', 'K', 'C', 'A', 'C', 'H', 'E', '\n'};
constexpr quint32 imageVersion = 1;
// Hashed at each end of the part of the history an image stands for: hashing all of a
// decade's history would cost as much as parsing it.
constexpr qint64 endBlock = 4096;
constexpr std::size_t bufferSize = 256 * 1024;

struct Header {
    char magic[8];
    quint32 version;
    quint32 layout; // the sizes of the records held as they are in memory
    quint64 device;
    quint64 inode;
    qint64 prefix; // bytes of the history the image stands for
    quint64 firstBlockHash;
    quint64 lastBlockHash;
    quint64 leftOutHash;
    qint64 bodyLength;
    quint64 bodyHash;
};
static_assert(std::is_trivially_copyable_v<Header> && sizeof(Header) == 80);

// An image written by a build that lays its records out otherwise is a foreign one.
constexpr quint32 layout()
{
    return quint32(sizeof(RunFigures) << 16 | sizeof(WeakSpots::Figures) << 8 | lastDrillLevel);
}

// Fast enough to check tens of megabytes while they are read; any one word changed changes
// the result (each step is a bijection of the state).
class Hash
{
public:
    void add(const void *data, std::size_t size)
    {
        const auto *bytes = static_cast<const unsigned char *>(data);
        std::size_t at = 0;
        for (; at + 8 <= size; at += 8) {
            quint64 word;
            std::memcpy(&word, bytes + at, 8);
            mix(word);
        }
        quint64 rest = 0;
        if (size > at)
            std::memcpy(&rest, bytes + at, size - at);
        mix(rest ^ quint64(size) << 40);
    }
    quint64 value() const { return state_; }

private:
    void mix(quint64 word)
    {
        state_ = (state_ ^ word) * 0x100000001b3ULL;
        state_ ^= state_ >> 29;
    }
    quint64 state_ = 0xcbf29ce484222325ULL;
};

quint64 hashOf(const void *data, std::size_t size)
{
    Hash hash;
    hash.add(data, size);
    return hash.value();
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Exactly `size` bytes from `offset` on; false at an error, or at the end of the file first.
bool readAt(int fd, void *data, std::size_t size, qint64 offset)
{
    auto *out = static_cast<char *>(data);
    while (size > 0) {
        const ssize_t got = ::pread(fd, out, size, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        out += got;
        size -= std::size_t(got);
        offset += got;
    }
    return true;
}

// The hashes of the first and the last block of the history's first `prefix` bytes.
bool endHashes(int logFd, qint64 prefix, quint64 &first, quint64 &last)
{
    char block[endBlock];
    const std::size_t size = std::size_t(std::min(prefix, endBlock));
    if (!readAt(logFd, block, size, 0))
        return false;
    first = hashOf(block, size);
    if (!readAt(logFd, block, size, prefix - qint64(size)))
        return false;
    last = hashOf(block, size);
    return true;
}

quint64 leftOutHash(const LeftOutRuns &leftOut)
{
    const QByteArray text = leftOut.text();
    return hashOf(text.constData(), std::size_t(text.size()));
}

class ImageWriter
{
public:
    static constexpr bool loading = false;
    ImageWriter(int fd, const std::atomic<bool> *cancelled) : fd_(fd), cancelled_(cancelled)
    {
        buffer_.reserve(bufferSize);
    }

    void put(const void *data, std::size_t size)
    {
        hash_.add(data, size);
        length_ += qint64(size);
        const auto *bytes = static_cast<const char *>(data);
        if (buffer_.size() + size > bufferSize)
            flush();
        if (size >= bufferSize)
            writeOut(bytes, size);
        else if (size > 0)
            buffer_.insert(buffer_.end(), bytes, bytes + size);
    }
    template <typename T> void value(const T &value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        put(&value, sizeof value);
    }
    template <typename T> void array(const std::vector<T> &values)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        value(quint64(values.size()));
        put(values.data(), values.size() * sizeof(T));
    }
    void text(const std::string &bytes)
    {
        value(quint64(bytes.size()));
        put(bytes.data(), bytes.size());
    }
    void names(const KanaNames &names)
    {
        value(quint64(names.size()));
        for (int number = 0; number < names.size(); ++number)
            text(names.name(number).toStdString());
    }
    void days(const std::set<qint64> &days)
    {
        value(quint64(days.size()));
        for (const qint64 day : days)
            value(day);
    }
    bool finish()
    {
        flush();
        return ok_;
    }
    qint64 length() const { return length_; }
    quint64 hash() const { return hash_.value(); }

private:
    void flush()
    {
        writeOut(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    void writeOut(const char *data, std::size_t size)
    {
        while (ok_ && size > 0) {
            if (cancelled_ && cancelled_->load()) {
                ok_ = false;
                return;
            }
            const ssize_t written = ::write(fd_, data, std::min<std::size_t>(size, 1 << 20));
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                ok_ = false;
                return;
            }
            data += written;
            size -= std::size_t(written);
        }
    }

    int fd_;
    const std::atomic<bool> *cancelled_;
    std::vector<char> buffer_;
    Hash hash_;
    qint64 length_ = 0;
    bool ok_ = true;
};

// Reads the body into the figures' own arrays: the large ones straight from the file, the
// many small records through a buffer. Every count is checked against what is left, so a
// damaged image fails rather than asks for memory it does not hold.
class ImageReader
{
public:
    static constexpr bool loading = true;
    ImageReader(int fd, qint64 offset, qint64 length)
        : fd_(fd), offset_(offset), remaining_(length), unbuffered_(length)
    {
    }

    void get(void *data, std::size_t size)
    {
        if (!ok_ || qint64(size) > remaining_) {
            ok_ = false;
            return;
        }
        auto *out = static_cast<char *>(data);
        std::size_t left = size;
        const std::size_t buffered = std::min(left, buffer_.size() - at_);
        if (buffered > 0) {
            std::memcpy(out, buffer_.data() + at_, buffered);
            at_ += buffered;
            out += buffered;
            left -= buffered;
        }
        if (left >= bufferSize) {
            ok_ = readIn(out, left);
        } else if (left > 0) {
            refill();
            ok_ = ok_ && buffer_.size() >= left;
            if (ok_) {
                std::memcpy(out, buffer_.data(), left);
                at_ = left;
            }
        }
        if (!ok_)
            return;
        remaining_ -= qint64(size);
        hash_.add(data, size);
    }
    template <typename T> void value(T &value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        get(&value, sizeof value);
    }
    // Whether `count` more records of at least `size` bytes each can be in what is left.
    bool fits(quint64 count, std::size_t size = 1)
    {
        ok_ = ok_ && count <= quint64(remaining_) / size;
        return ok_;
    }
    template <typename T> void array(std::vector<T> &values)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        quint64 count = 0;
        value(count);
        if (!fits(count, sizeof(T)))
            return;
        values.resize(count);
        get(values.data(), count * sizeof(T));
    }
    void text(std::string &bytes)
    {
        quint64 count = 0;
        value(count);
        if (!fits(count))
            return;
        bytes.resize(count);
        get(bytes.data(), count);
    }
    void names(KanaNames &names)
    {
        quint64 count = 0;
        value(count);
        std::string name;
        for (quint64 number = 0; ok_ && number < count; ++number) {
            text(name);
            // Numbered as they were, or the figures by number would belong to other kana.
            ok_ = ok_ && names.find(std::string_view(name)) == int(number);
        }
    }
    void days(std::set<qint64> &days)
    {
        quint64 count = 0;
        value(count);
        qint64 day = 0;
        if (!fits(count, sizeof day))
            return;
        for (quint64 k = 0; ok_ && k < count; ++k) {
            value(day);
            days.insert(days.end(), day);
        }
    }
    bool ok() const { return ok_; }
    qint64 remaining() const { return remaining_; }
    quint64 hash() const { return hash_.value(); }

private:
    bool readIn(char *out, std::size_t size)
    {
        if (qint64(size) > unbuffered_ || !readAt(fd_, out, size, offset_))
            return false;
        offset_ += qint64(size);
        unbuffered_ -= qint64(size);
        return true;
    }
    void refill()
    {
        buffer_.resize(std::size_t(std::min<qint64>(bufferSize, unbuffered_)));
        at_ = 0;
        ok_ = readIn(buffer_.data(), buffer_.size());
    }

    int fd_;
    qint64 offset_;     // in the image, of the next bytes read from it
    qint64 remaining_;  // of the body, not yet handed out
    qint64 unbuffered_; // of the body, not yet read from the file
    std::vector<char> buffer_;
    std::size_t at_ = 0;
    Hash hash_;
    bool ok_ = true;
};

// A list of records that are not raw bytes: its length, then each.
template <typename Io, typename List, typename Each> void list(Io &io, List &items, Each each)
{
    quint64 count = items.size();
    io.value(count);
    if constexpr (Io::loading) {
        if (!io.fits(count))
            return;
        items.resize(count);
    }
    for (auto &item : items)
        each(item);
}

template <typename Io, typename Press> void pressFigures(Io &io, Press &figures)
{
    io.value(figures.misses);
    io.value(figures.right);
    io.value(figures.timedMs);
    io.value(figures.timed);
    list(io, figures.typedInstead, [&io](auto &instead) {
        io.value(instead.first);
        io.value(instead.second);
    });
}

bool indicesBelow(const std::vector<int> &indices, std::size_t size)
{
    return std::all_of(indices.begin(), indices.end(),
                       [size](int index) { return index >= 0 && std::size_t(index) < size; });
}

} // namespace

// The figures' own members, written and read in one order by one function.
struct HistoryCacheAccess {
    template <typename Io, typename Stats> static void stats(Io &io, Stats &stats)
    {
        io.names(stats.kanaNames_);
        io.array(stats.runs_);
        for (auto &runs : stats.levelRuns_)
            io.array(runs);
        list(io, stats.texts_, [&io](auto &text) {
            io.text(text.name);
            io.array(text.runs);
        });
        io.value(stats.seconds_);
        io.value(stats.leftOutCount_);
        io.days(stats.days_);
        // Level 0 is summed from the others when asked for.
        for (std::size_t level = 1; level < stats.keys_.size(); ++level) {
            for (auto &key : stats.keys_[level])
                pressFigures(io, key);
            list(io, stats.kana_[level], [&io](auto &kana) { pressFigures(io, kana); });
        }
    }
    template <typename Io, typename Weak> static void weak(Io &io, Weak &weak)
    {
        io.names(weak.names_);
        for (auto &side : weak.sides_) {
            io.value(side.runs);
            io.array(side.figures);
            io.array(side.plain);
        }
    }
    // A body that hashes right but was made to point past its own arrays is still refused.
    static bool consistent(ProgressStats &stats, WeakSpots &weak)
    {
        const std::size_t runs = stats.runs_.size();
        const auto kana = std::size_t(stats.kanaNames_.size());
        for (std::size_t level = 0; level < stats.levelRuns_.size(); ++level)
            if (!indicesBelow(stats.levelRuns_[level], runs) || stats.kana_[level].size() > kana)
                return false;
        for (const auto &text : stats.texts_)
            if (!indicesBelow(text.runs, runs))
                return false;
        if (!std::all_of(stats.runs_.begin(), stats.runs_.end(),
                         [](const RunFigures &run) { return isDrillLevel(run.level); }))
            return false;
        const std::array<std::size_t, 2> sizes{128, std::size_t(weak.names_.size())};
        for (std::size_t kind = 0; kind < sizes.size(); ++kind)
            if (weak.sides_[kind].figures.size() > sizes[kind] ||
                weak.sides_[kind].plain.size() != weak.sides_[kind].figures.size())
                return false;
        stats.allLevelsStale_ = true;
        numberKanaKeys(stats.kanaNames_, stats.kanaKeys_);
        numberKanaKeys(weak.names_, weak.kanaKeys_);
        return true;
    }
};

namespace
{

template <typename Io, typename Figures> void transfer(Io &io, Figures &figures)
{
    HistoryCacheAccess::stats(io, figures.stats);
    HistoryCacheAccess::weak(io, figures.weak);
    io.value(figures.bestSpeeds);
}

} // namespace

QString historyCachePath(const QString &logPath)
{
    return logPath + QStringLiteral(".cache");
}

qint64 loadHistoryCache(const QString &logPath, int logFd, const LeftOutRuns &leftOut,
                        HistoryFigures &figures)
{
    const QByteArray path = QFile::encodeName(historyCachePath(logPath));
    // Never through a link; a pipe or a device of that name is opened without waiting and
    // then passed over.
    const Descriptor cache(
        ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat cacheStatus = {};
    struct stat logStatus = {};
    if (cache.get() < 0 || ::fstat(cache.get(), &cacheStatus) != 0 ||
        !S_ISREG(cacheStatus.st_mode) || ::fstat(logFd, &logStatus) != 0)
        return 0;
    Header header = {};
    if (!readAt(cache.get(), &header, sizeof header, 0) ||
        std::memcmp(header.magic, imageMagic, sizeof imageMagic) != 0 ||
        header.version != imageVersion || header.layout != layout() ||
        header.device != quint64(logStatus.st_dev) || header.inode != quint64(logStatus.st_ino) ||
        header.prefix <= 0 || header.prefix > qint64(logStatus.st_size) ||
        header.leftOutHash != leftOutHash(leftOut) ||
        header.bodyLength != qint64(cacheStatus.st_size) - qint64(sizeof header))
        return 0;
    quint64 first = 0;
    quint64 last = 0;
    if (!endHashes(logFd, header.prefix, first, last) || first != header.firstBlockHash ||
        last != header.lastBlockHash)
        return 0;
    HistoryFigures loaded;
    ImageReader reader(cache.get(), sizeof header, header.bodyLength);
    transfer(reader, loaded);
    if (!reader.ok() || reader.remaining() != 0 || reader.hash() != header.bodyHash ||
        !HistoryCacheAccess::consistent(loaded.stats, loaded.weak))
        return 0;
    figures = std::move(loaded);
    figures.setLeftOut(leftOut);
    return header.prefix;
}

bool saveHistoryCache(const QString &logPath, const HistoryFigures &figures, qint64 end,
                      const HistoryFileIdentity &identity, const LeftOutRuns &leftOut,
                      const std::atomic<bool> *cancelled)
{
    if (end <= 0)
        return false;
    // The history as it was read: the same file, still holding at least the bytes read.
    const Descriptor log(
        ::open(QFile::encodeName(logPath).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat logStatus = {};
    if (log.get() < 0 || ::fstat(log.get(), &logStatus) != 0 || !S_ISREG(logStatus.st_mode) ||
        quint64(logStatus.st_dev) != identity.device ||
        quint64(logStatus.st_ino) != identity.inode || qint64(logStatus.st_size) < end)
        return false;
    QByteArray head(identity.head.size(), '\0');
    if (!readAt(log.get(), head.data(), std::size_t(head.size()), 0) || head != identity.head)
        return false;
    Header header = {};
    std::memcpy(header.magic, imageMagic, sizeof imageMagic);
    header.version = imageVersion;
    header.layout = layout();
    header.device = identity.device;
    header.inode = identity.inode;
    header.prefix = end;
    header.leftOutHash = leftOutHash(leftOut);
    if (!endHashes(log.get(), end, header.firstBlockHash, header.lastBlockHash))
        return false;

    const QFileInfo cacheInfo(historyCachePath(logPath));
    const Descriptor folder(::open(QFile::encodeName(cacheInfo.absolutePath()).constData(),
                                   O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const QByteArray name = QFile::encodeName(cacheInfo.fileName());
    const auto special = [&folder, &name] {
        struct stat status = {};
        return ::fstatat(folder.get(), name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
               !S_ISREG(status.st_mode);
    };
    if (folder.get() < 0 || special())
        return false;
    removeLeftoverTemporaries(cacheInfo.absoluteFilePath());
    QString suffix;
    for (int k = 0; k < 6; ++k)
        suffix += QLatin1Char(
            "abcdefghijklmnopqrstuvwxyz0123456789"[QRandomGenerator::global()->bounded(36)]);
    const QByteArray temporary = QFile::encodeName(temporaryName(cacheInfo.fileName(), suffix));
    const int fd = ::openat(folder.get(), temporary.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool saved = false;
    {
        const Descriptor image(fd);
        ImageWriter writer(fd, cancelled);
        if (::lseek(fd, sizeof header, SEEK_SET) == qint64(sizeof header)) {
            transfer(writer, figures);
            header.bodyLength = writer.length();
            header.bodyHash = writer.hash();
            saved = writer.finish() &&
                    ::pwrite(fd, &header, sizeof header, 0) == qint64(sizeof header) &&
                    ::fsync(fd) == 0;
        }
    }
    // Rename is atomic: another copy's reader sees the old image or the new one, whole.
    saved = saved && !special() &&
            ::renameat(folder.get(), temporary.constData(), folder.get(), name.constData()) == 0;
    if (!saved)
        ::unlinkat(folder.get(), temporary.constData(), 0);
    else
        ::fsync(folder.get());
    return saved;
}

} // namespace rinkaro
