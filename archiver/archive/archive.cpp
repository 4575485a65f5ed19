#include "archive.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstring>
#include <ctime>
#include <deque>
#include <set>

#include "lzh/codec.h"
#include "lzh/crc16.h"
#include "lzh/error.h"
#include "lzh/header.h"
#include "lzh/names.h"
#include "lzh/stream.h"
#include "lzh/unpack.h"
#include "fsutil.h"
#include "name_index.h"
#include "pack_jobs.h"
#include "trailer.h"
#include "platform/sys.h"

namespace archive {

using lzh::Entry;
using lzh::Error;
using lzh::fail;

namespace {

// ---------------------------------------------------------------- packing

// The parts of a path that name it inside the archive: no root, no "." or "..".
std::vector<std::string> components(const std::string& path) {
    std::vector<std::string> out;
    size_t i = sys::rootLength(path);
    while (i <= path.size()) {
        size_t j = path.find('/', i);
        if (j == std::string::npos) j = path.size();
        std::string c = path.substr(i, j - i);
        if (!c.empty() && c != "." && c != "..") out.push_back(c);
        i = j + 1;
    }
    return out;
}

// A file or folder to add. Kept small, as there may be millions: the
// stored names are worked out from the path when needed, and of the
// file's status only what is written or compared.
struct Item {
    std::string disk;       // path to open, relative to the current folder
    bool dir = false;
    bool leafOnly = false;  // stored under its last name alone (-x0)
    uint32_t mode = 0;
    int64_t mtime = 0;
    uint64_t size = 0, dev = 0, ino = 0;

    Item(std::string path, bool isDir, bool leaf, const sys::Stat& st)
        : disk(std::move(path)), dir(isDir), leafOnly(leaf), mode(static_cast<uint32_t>(st.st_mode)),
          mtime(static_cast<int64_t>(st.st_mtime)), size(static_cast<uint64_t>(st.st_size)),
          dev(static_cast<uint64_t>(st.st_dev)), ino(static_cast<uint64_t>(st.st_ino)) {}
    // Path components inside the archive.
    std::vector<std::string> stored() const {
        std::vector<std::string> c = components(disk);
        if (leafOnly && !c.empty()) c.erase(c.begin(), c.end() - 1);
        return c;
    }
    std::string key() const { return keyOf(stored(), dir); }
    static std::string keyOf(const std::vector<std::string>& stored, bool dir) {
        std::string k;
        for (const auto& s : stored) k += s + '/';
        if (!dir && !k.empty()) k.pop_back();
        return k;
    }
};

using Items = std::deque<Item>;  // no copy of them all as they grow

std::string entryKey(const Entry& e) { return e.path() + (e.isDir() ? "/" : ""); }

// An item's names as its header stores them.
Entry namedEntry(const std::vector<std::string>& stored, bool dir) {
    Entry e;
    e.codePage = lzh::archiveCodePage(stored);
    size_t folders = dir ? stored.size() : stored.size() - 1;
    for (size_t i = 0; i < folders; ++i) {
        if (i) e.rawDir += '\xFF';
        e.rawDir += lzh::toArchiveName(stored[i], e.codePage);
    }
    e.rawName = dir ? "" : lzh::toArchiveName(stored.back(), e.codePage);
    if (dir) e.method = lzh::kFolderId;
    return e;
}

// Why x on this system would not give these names back as they are, or
// null: the header is written and read back, so that the writer keeps to
// the reader's rule (and the system's own, on Windows).
const char* unstorable(const std::vector<std::string>& stored, bool dir) {
    for (const auto& part : stored)
        if (!lzh::isLocalText(part)) return "the name is not text in the locale's character set";
    auto h = lzh::writeHeader(namedEntry(stored, dir), false);
    lzh::MemorySource src(h.data(), h.size());
    Entry back;
    lzh::readHeader(src, back, true);
    if (back.fault != lzh::NameFault::None) return lzh::describe(back.fault);
    if (back.parts != stored) return "the name would come back as another";
    for (const auto& part : stored)
        if (const char* why = sys::nameFault(part)) return why;
    return nullptr;
}

bool hasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// Finds what the items name, following links, before anything is written.
class Collector {
public:
    Collector(const Options& opt, std::string& text, const sys::Stat* archive)
        : opt_(opt), text_(text), archive_(archive) {}

    Items collect() {
        for (const std::string& word : opt_.items) addWord(word);
        index_ = NameIndex({});
        return std::move(items_);
    }
    // Two different files were to be stored under one name.
    bool sameName() const { return sameName_; }
    // An item was left out because its name would not come back.
    bool skippedName() const { return skippedName_; }

private:
    void addWord(std::string w) {
        if (w.empty()) fail(UNLHA_ERR_NO_ITEM, "empty item name");
        while (w.size() > 1 && w.back() == '/') w.pop_back();
        size_t slash = w.rfind('/');
        std::string dir = slash == std::string::npos ? "" : slash == 0 ? "/" : w.substr(0, slash);
        std::string last = slash == std::string::npos ? w : w.substr(slash + 1);
        // A name that exists is that file or folder, whatever it holds.
        sys::Stat named;
        if (hasWildcard(last) && sys::lstat(w.c_str(), &named) != 0) {
            sys::Stat st;
            if (sys::stat(dir.empty() ? "." : dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                fail(UNLHA_ERR_NO_ITEM, "no such folder: " + w);
            // "name/*.*" stands for the folder itself and what is in it.
            bool all = last == "*.*" || last == "*";
            if (all && !dir.empty() && !addDir(dir, st)) return;
            walk(dir, all ? "" : last, st);
            return;
        }
        sys::Stat st;
        if (sys::stat(w.c_str(), &st) != 0) {
            int err = errno;
            sys::Stat lst;
            if (sys::lstat(w.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
                note("skipped (dangling or looping link): " + w);
                return;
            }
            fail(err == ENOENT || err == ENOTDIR ? UNLHA_ERR_NO_ITEM : UNLHA_ERR_READ, w + ": " + sysError(err));
        }
        if (S_ISDIR(st.st_mode)) {
            if (addDir(w, st)) walk(w, "", st);
        } else if (S_ISREG(st.st_mode)) {
            addFile(w, st);
        } else {
            note("skipped (not a regular file): " + w);
        }
    }

    void walk(const std::string& dir, const std::string& pattern, const sys::Stat& dst) {
        auto id = std::pair<uint64_t, uint64_t>(dst.st_dev, dst.st_ino);
        if (!ancestors_.insert(id).second) {
            note("skipped (link loop): " + dir);
            return;
        }
        sys::DIR* d = sys::opendir(dir.empty() ? "." : dir.c_str());
        if (!d) fail(UNLHA_ERR_READ, (dir.empty() ? "." : dir) + ": " + sysError(errno));
        std::vector<std::string> names;
        while (sys::dirent* de = sys::readdir(d)) {
            std::string n = de->d_name;
            if (n == "." || n == "..") continue;
            if (n[0] == '.' && !opt_.hidden) continue;
            names.push_back(n);
        }
        sys::closedir(d);
        std::sort(names.begin(), names.end());
        for (const std::string& n : names) {
            std::string p = dir.empty() ? n : dir == "/" ? "/" + n : dir + "/" + n;
            bool match = pattern.empty() || sys::fnmatch(pattern.c_str(), n.c_str(), 0) == 0;
            sys::Stat st;
            if (sys::stat(p.c_str(), &st) != 0) {
                int err = errno;
                sys::Stat lst;
                if (sys::lstat(p.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
                    if (match) note("skipped (dangling or looping link): " + p);
                    continue;
                }
                fail(UNLHA_ERR_READ, p + ": " + sysError(err));
            }
            if (S_ISDIR(st.st_mode)) {
                if (!opt_.recurse) continue;
                if (ancestors_.count({st.st_dev, st.st_ino})) {
                    note("skipped (link loop): " + p);
                    continue;
                }
                if (match && !addDir(p, st)) continue;
                walk(p, match ? "" : pattern, st);
            } else if (S_ISREG(st.st_mode)) {
                if (match) addFile(p, st);
            } else if (match) {
                note("skipped (not a regular file): " + p);
            }
        }
        ancestors_.erase(id);
    }

    // False when the folder's name cannot be stored: what is below it is skipped too.
    bool addDir(const std::string& path, const sys::Stat& st) {
        if (!opt_.withFolders) return true;
        std::vector<std::string> stored = components(path);
        if (stored.empty()) return true;
        Item it(path, true, false, st);
        if (!storable(it, stored)) return false;
        push(std::move(it), stored);
        return true;
    }

    void addFile(const std::string& path, const sys::Stat& st) {
        if (archive_ && st.st_dev == archive_->st_dev && st.st_ino == archive_->st_ino) return;
        Item it(path, false, !opt_.withFolders, st);
        std::vector<std::string> stored = it.stored();
        if (stored.empty()) return;
        if (storable(it, stored)) push(std::move(it), stored);
    }

    bool storable(const Item& it, const std::vector<std::string>& stored) {
        const char* why = unstorable(stored, it.dir);
        if (!why) return true;
        note(it.disk + ": not stored, " + why);
        skippedName_ = true;
        return false;
    }

    void push(Item it, const std::vector<std::string>& stored) {
        const std::string key = Item::keyOf(stored, it.dir);
        const auto n = static_cast<uint32_t>(items_.size());
        const uint32_t pos = index_.insert(key, n);
        if (pos == n) {
            items_.push_back(std::move(it));
            return;
        }
        // The later item wins; two different files under one name are worth a word.
        Item& was = items_[pos];
        if (!it.dir && (was.dev != it.dev || was.ino != it.ino)) {
            note(key + ": same name twice; stored " + it.disk + ", left out " + was.disk);
            sameName_ = true;
        }
        was = std::move(it);
    }

    void note(const std::string& s) { text_ += lzh::escapeControls(s) + "\n"; }

    const Options& opt_;
    std::string& text_;
    const sys::Stat* archive_;
    Items items_;
    NameIndex index_{[this](uint32_t i) { return items_[i].key(); }};
    std::set<std::pair<uint64_t, uint64_t>> ancestors_;
    bool sameName_ = false;
    bool skippedName_ = false;
};

std::string formatTime(int64_t t) {
    time_t tt = static_cast<time_t>(t);
    std::tm tm{};
    sys::localtime_r(&tt, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &tm);
    return buf;
}

struct OldEntry {
    Entry e;
    uint64_t dataOffset;
};

// After an end mark that came first: an empty archive is that one byte; a
// file of zeros, or an archive whose first byte was lost, has more.
void checkNothingFollows(lzh::ByteSource& src, const std::string& name) {
    uint8_t b;
    if (src.readFull(&b, 1)) lzh::damaged(name + ": no entries, and bytes after the end mark");
}

// Reads every header of an archive, checking that its data is all there.
// An empty file is an empty archive to add to.
std::vector<OldEntry> scanArchive(int fd, const std::string& name) {
    std::vector<OldEntry> out;
    sys::Stat st;
    if (sys::fstat(fd, &st) == 0 && st.st_size == 0) return out;
    lzh::FdSource src(fd, UNLHA_ERR_READ, "archive");
    Entry e;
    for (bool first = true; lzh::readHeader(src, e, first); first = false) {
        uint64_t at = src.position();
        if (!src.skip(e.packed)) lzh::damaged("entry data cut short: " + e.path());
        out.push_back({std::move(e), at});
    }
    if (out.empty()) checkNothingFollows(src, name);
    return out;
}

void copyRange(int fd, uint64_t off, uint64_t n, lzh::ByteSink& out) {
    std::vector<uint8_t> buf(1 << 16);
    while (n) {
        size_t want = n < buf.size() ? static_cast<size_t>(n) : buf.size();
        ssize_t r = sys::pread(fd, buf.data(), want, static_cast<int64_t>(off));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) fail(UNLHA_ERR_READ, "archive: " + sysError(errno));
        if (r == 0) lzh::damaged("archive changed while reading");
        out.write(buf.data(), static_cast<size_t>(r));
        off += static_cast<uint64_t>(r);
        n -= static_cast<uint64_t>(r);
    }
}

class Packer {
public:
    Packer(const Options& opt, std::string& text, lzh::FdSink& sink) : opt_(opt), text_(text), sink_(sink) {
        progress_ = [this](uint64_t n) {
            checkCancel();
            report(done_ + n);
        };
    }

    void setTotal(uint64_t total) { total_ = total; }

    // The files in the order write() will be called for them.
    void plan(const std::vector<const Item*>& order) {
        std::vector<FilePacker::Source> files;
        size_t n = 0;
        for (const Item* it : order) n += !it->dir;
        files.reserve(n);
        for (const Item* it : order)
            if (!it->dir) files.push_back({&it->disk, it->size});
        unsigned threads = opt_.threads ? opt_.threads : usableCores();
        files_ =
            std::make_unique<FilePacker>(lzh::methodForLevel(static_cast<int>(opt_.method)), threads, std::move(files));
    }

    void report(uint64_t done) const {
        if (opt_.progress) opt_.progress(current_, done, total_);
    }

    void checkCancel() const {
        if (opt_.cancelled && opt_.cancelled()) fail(UNLHA_ERR_CANCELLED, "cancelled");
    }

    void write(const Item& it) {
        checkCancel();
        const std::vector<std::string> stored = it.stored();
        current_ = Item::keyOf(stored, it.dir);
        report(done_);
        Entry e = namedEntry(stored, it.dir);
        e.mtime = it.mtime;
        if (e.mtime < 0 || e.mtime > lzh::kLastTime)
            say(current_ + ": time outside 1970-2106, stored as " + formatTime(e.mtime < 0 ? 0 : lzh::kLastTime));
        e.hasMode = true;
        e.mode = it.mode & 0xFFFF;
        if (it.dir) {
            auto h = lzh::writeHeader(e, false);
            sink_.write(h.data(), h.size());
            say(current_);
            return;
        }
        bool large = files_->open() >= lzh::kLargeSize;
        auto h = lzh::writeHeader(e, large);
        uint64_t headerAt = sink_.position();
        sink_.write(h.data(), h.size());
        FilePacker::Data d = files_->write(sink_, progress_);
        e.method = d.method;
        e.packed = d.packed;
        e.original = d.original;
        e.crc = d.crc;
        if (e.original >= lzh::kLargeSize && !large) fail(UNLHA_ERR_READ, it.disk + ": file grew while packing");
        auto h2 = lzh::writeHeader(e, large);
        sink_.patch(headerAt, h2.data(), h2.size());
        done_ += e.original;
        report(done_);
        char line[64];
        std::snprintf(line, sizeof line, "  %s %" PRIu64 " -> %" PRIu64, e.method.c_str(), e.original, e.packed);
        say(current_ + line);
    }

private:
    // Names in the output show their control bytes as x does.
    void say(const std::string& s) { text_ += lzh::escapeControls(s) + "\n"; }

    const Options& opt_;
    std::string& text_;
    lzh::FdSink& sink_;
    lzh::Progress progress_;
    std::unique_ptr<FilePacker> files_;
    std::string current_;
    uint64_t done_ = 0, total_ = 0;
};

// The archive an add writes: links followed to the file itself, and that
// file, when there is one, locked against other writers from before it is
// read until the new archive has replaced it.
struct Target {
    std::string path;
    Fd fd;
    sys::Stat st{};
    bool exists() const { return fd.get() >= 0; }
};

void lockTarget(const Options& opt, Target& t) {
    t.path = followLinks(opt.archive);
    for (;;) {
        // Non-blocking, so that a fifo under the archive's name cannot stall us.
        t.fd.reset(sys::open(t.path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (t.fd.get() < 0) {
            if (errno == ENOENT) return;
            fail(UNLHA_ERR_READ, t.path + ": " + sysError(errno));
        }
        if (sys::fstat(t.fd.get(), &t.st) != 0) fail(UNLHA_ERR_READ, t.path + ": " + sysError(errno));
        if (!S_ISREG(t.st.st_mode)) fail(UNLHA_ERR_WRITE, t.path + ": not a file");
        // Read-only is a wish of the owner's, kept as for the settings file,
        // even where the folder would let us replace it.
        if (!(t.st.st_mode & 0222) || sys::access(t.path.c_str(), W_OK) != 0)
            fail(UNLHA_ERR_WRITE, t.path + ": read-only, not replaced");
        if (!lockForWriting(t.fd.get(), opt.cancelled)) fail(UNLHA_ERR_CANCELLED, "cancelled");
        // Another writer may have replaced it while we waited: then lock the new one.
        sys::Stat now;
        if (sys::stat(t.path.c_str(), &now) == 0 && now.st_dev == t.st.st_dev && now.st_ino == t.st.st_ino) return;
    }
}

// Gives the finished archive the target's name: over the locked old one, or
// as a new file, which never replaces one that another writer made
// meanwhile (false then). Across file systems it is copied beside the
// target first, so that the last step is still one link or rename.
bool placeArchive(PendingFile& done, Target& t, mode_t mode) {
    std::string folder = dirName(t.path), leaf = t.path.substr(t.path.rfind('/') + 1);
    Fd dir(sys::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) fail(UNLHA_ERR_WRITE, t.path + ": " + sysError(errno));
    const bool replace = t.exists();
    auto publish = [&](PendingFile& file) {
        if (file.publish(dir.get(), leaf, replace)) return true;
        // Windows replaces no file that is open, not even for its holder:
        // the old archive and its lock are let go for one more try.
        if (!replace || errno != EACCES || !t.exists()) return false;
        t.fd.reset();
        return file.publish(dir.get(), leaf, true);
    };
    if (publish(done)) return true;
    if (errno == EEXIST && !replace) return false;
    if (errno != EXDEV) fail(UNLHA_ERR_WRITE, t.path + ": " + sysError(errno));
    sys::Stat st;
    if (sys::fstat(done.fd(), &st) != 0) fail(UNLHA_ERR_WRITE, t.path + ": " + sysError(errno));
    PendingFile beside(dir.get(), folder, namelessFilesWork());
    {
        lzh::FdSink sink(beside.fd(), t.path);
        copyRange(done.fd(), 0, static_cast<uint64_t>(st.st_size), sink);
        sink.flush();
    }
    if (sys::fchmod(beside.fd(), mode) != 0 || sys::fsync(beside.fd()) != 0)
        fail(UNLHA_ERR_WRITE, t.path + ": " + sysError(errno));
    if (publish(beside)) return true;
    if (errno == EEXIST && !replace) return false;
    fail(UNLHA_ERR_WRITE, t.path + ": " + sysError(errno));
}

// Writes the new archive: the old entries in their order, each replaced by
// an item of the same stored name, then the remaining items.
void writeArchive(const Options& opt, std::string& text, const Items& items, const Target& target,
                  const std::vector<OldEntry>& entries, int outFd) {
    lzh::FdSink sink(outFd, opt.archive);
    Packer packer(opt, text, sink);
    uint64_t total = 0;
    for (const Item& it : items)
        if (!it.dir) total += it.size;
    packer.setTotal(total);
    // Files are packed ahead in the order they are written.
    std::vector<const Item*> replaced(entries.size(), nullptr), order;
    order.reserve(items.size());
    std::vector<bool> done(items.size());
    if (!entries.empty()) {
        NameIndex fresh([&](uint32_t i) { return items[i].key(); });
        for (size_t i = 0; i < items.size(); ++i) fresh.insert(items[i].key(), static_cast<uint32_t>(i));
        for (size_t k = 0; k < entries.size(); ++k) {
            uint32_t hit = fresh.find(entryKey(entries[k].e));
            if (hit == NameIndex::kNone) continue;
            replaced[k] = &items[hit];
            order.push_back(replaced[k]);
            done[hit] = true;
        }
    }
    for (size_t i = 0; i < items.size(); ++i)
        if (!done[i]) order.push_back(&items[i]);
    packer.plan(order);
    for (size_t k = 0; k < entries.size(); ++k) {
        if (replaced[k]) {
            packer.write(*replaced[k]);  // replaced where it stood
            continue;
        }
        sink.write(entries[k].e.raw.data(), entries[k].e.raw.size());
        copyRange(target.fd.get(), entries[k].dataOffset, entries[k].e.packed, sink);
    }
    for (size_t i = 0; i < items.size(); ++i)
        if (!done[i]) packer.write(items[i]);
    const uint8_t endMark = 0;
    sink.write(&endMark, 1);
    sink.flush();
    packer.checkCancel();
}

int addCommand(const Options& opt, std::string& text) {
    if (opt.archive.back() == '/') fail(UNLHA_ERR_WRITE, opt.archive + ": not a file");
    const size_t textBefore = text.size();
    for (;;) {
        Target target;
        lockTarget(opt, target);
        Collector collector(opt, text, target.exists() ? &target.st : nullptr);
        Items items = collector.collect();
        // No archive of no entries: other readers refuse it, and an old one stays as it is.
        if (items.empty()) fail(UNLHA_ERR_NOTHING, "nothing to add");
        std::vector<OldEntry> entries;
        if (target.exists()) entries = scanArchive(target.fd.get(), opt.archive);

        PendingFile out(opt.workDir.empty() ? dirName(target.path) : opt.workDir);
        writeArchive(opt, text, items, target, entries, out.fd());
        mode_t mode = target.exists() ? (target.st.st_mode & 07777) : (0666 & ~currentUmask());
        if (sys::fchmod(out.fd(), mode) != 0 || sys::fsync(out.fd()) != 0)
            fail(UNLHA_ERR_WRITE, opt.archive + ": " + sysError(errno));
        if (placeArchive(out, target, mode))
            return collector.skippedName() ? UNLHA_WARN_NAME_SKIPPED : collector.sameName() ? UNLHA_WARN_SAME_NAME : 0;
        // Another writer created the archive meanwhile: add to theirs.
        text.resize(textBefore);
    }
}

// ------------------------------------------------------------- reading

// Unpacks one entry's data into `out`, returning the CRC of what came out.
bool selected(const Entry& e, const std::vector<std::string>& patterns) {
    if (patterns.empty()) return true;
    std::string p = e.path();
    for (const auto& pat : patterns) {
        if (p == pat || sys::fnmatch(pat.c_str(), p.c_str(), 0) == 0) return true;
        if (p.size() > pat.size() && p.compare(0, pat.size(), pat) == 0 && p[pat.size()] == '/') return true;
    }
    return false;
}

class Reader {
public:
    Reader(const Options& opt, std::string& text) : opt_(opt), text_(text) {
        progress_ = [this](uint64_t n) {
            if (opt_.cancelled && opt_.cancelled()) fail(UNLHA_ERR_CANCELLED, "cancelled");
            if (opt_.progress) opt_.progress(current_, done_ + n, total_);
        };
        patterns_ = opt.items;
        if ((opt.command == 'x' || opt.command == 'e') && !patterns_.empty() && patterns_[0].size() > 1 &&
            patterns_[0].back() == '/') {
            dest_ = patterns_[0];
            patterns_.erase(patterns_.begin());
        }
    }

    int run() {
        // Non-blocking, so that a fifo is refused instead of waited on.
        Fd fd(sys::open(opt_.archive.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
        if (fd.get() < 0)
            fail(errno == ENOENT || errno == ENOTDIR ? UNLHA_ERR_NO_ARCHIVE : UNLHA_ERR_READ,
                 opt_.archive + ": " + sysError(errno));
        sys::Stat st;
        if (sys::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) fail(UNLHA_ERR_READ, opt_.archive + ": not a file");
        offset_ = opt_.archiveOffset;
        size_ = opt_.archiveSize;
        // A self-extractor is read as the archive it carries.
        if (!offset_ && !size_ && !locateArchive(fd.get(), offset_, size_, opt_.cancelled))
            lzh::damaged(opt_.archive + ": a program without an archive");
        if (opt_.command == 'x' || opt_.command == 'e') openDest();
        if (opt_.progress && opt_.command != 'l') total_ = selectedBytes(fd.get());
        if (sys::lseek(fd.get(), static_cast<int64_t>(offset_), SEEK_SET) < 0)
            fail(UNLHA_ERR_READ, opt_.archive + ": " + sysError(errno));
        lzh::FdSource file(fd.get(), UNLHA_ERR_READ, opt_.archive);
        // An archive inside a larger file ends where its size says.
        lzh::LimitedSource part(file, size_);
        lzh::ByteSource& src = size_ ? static_cast<lzh::ByteSource&>(part) : file;
        if (opt_.command == 'l')
            text_ +=
                "   Original     Packed  Ratio  Date                Method  CRC   Name\n"
                "----------- ---------- ------ ------------------- ------- ----- --------\n";
        Entry e;
        uint64_t files = 0, totalOrig = 0, totalPacked = 0, matched = 0;
        bool first = true;
        for (; lzh::readHeader(src, e, first); first = false) {
            lzh::LimitedSource data(src, e.packed);
            if (selected(e, patterns_)) {
                ++matched;
                current_ = e.path();
                if (opt_.progress && opt_.command != 'l' && !e.isDir()) opt_.progress(current_, done_, total_);
                if (opt_.command == 'l')
                    list(e);
                else if (opt_.command == 't')
                    test(e, data);
                else
                    extract(e, data);
                if (!e.isDir()) ++files, totalOrig += e.original, totalPacked += e.packed;
                done_ += e.isDir() ? 0 : e.original;
            }
            if (data.left() && !src.skip(data.left())) lzh::damaged("entry data cut short: " + e.path());
        }
        if (first) checkNothingFollows(src, opt_.archive);
        if (opt_.command == 'l') {
            char line[160];
            std::snprintf(line, sizeof line,
                          "----------- ---------- ------\n%11" PRIu64 " %10" PRIu64 " %5.1f%%  %" PRIu64 " file(s)\n",
                          totalOrig, totalPacked,
                          totalOrig ? 100.0 * static_cast<double>(totalPacked) / static_cast<double>(totalOrig) : 0.0,
                          files);
            text_ += line;
        }
        if (!patterns_.empty() && !matched) record(UNLHA_ERR_NO_MATCH, "no entry matches the names given");
        return firstError_;
    }

private:
    // The bytes the operation will unpack, for the progress total; a damaged
    // archive is left for the real pass to report. The end mark stops it
    // before anything that follows an embedded archive.
    uint64_t selectedBytes(int fd) const {
        uint64_t sum = 0;
        try {
            if (sys::lseek(fd, static_cast<int64_t>(offset_), SEEK_SET) < 0) return 0;
            lzh::FdSource src(fd, UNLHA_ERR_READ, opt_.archive);
            Entry e;
            while (lzh::readHeader(src, e) && src.skip(e.packed))
                if (selected(e, patterns_) && !e.isDir()) sum += e.original;
        } catch (const Error&) {}
        return sum;
    }

    void record(int code, const std::string& msg) {
        text_ += msg + "\n";
        if (!firstError_) firstError_ = code;
    }

    void list(const Entry& e) {
        char line[160];
        double ratio = e.original ? 100.0 * static_cast<double>(e.packed) / static_cast<double>(e.original) : 0.0;
        std::snprintf(line, sizeof line, "%11" PRIu64 " %10" PRIu64 " %5.1f%%  %s %-7s %04X  ", e.original, e.packed,
                      ratio, formatTime(e.mtime).c_str(), e.method.c_str(), e.crc);
        text_ += line + e.path() + (e.isDir() ? "/" : "");
        if (e.original >= lzh::kLargeSize) text_ += "  (4 GiB or more: readers of 32-bit sizes fail on it)";
        text_ += "\n";
    }

    void test(const Entry& e, lzh::ByteSource& data) {
        if (e.isDir()) return;
        lzh::NullSink sink;
        try {
            uint16_t crc = lzh::unpack(decoder_, e, data, sink, progress_);
            if (crc != e.crc)
                record(UNLHA_ERR_CRC, e.path() + ": CRC error");
            else
                text_ += e.path() + ": OK\n";
        } catch (const Error& err) {
            if (err.code != UNLHA_ERR_METHOD) throw;
            record(err.code, err.what());
        }
    }

    void openDest() {
        std::string d = dest_.empty() ? "." : dest_;
        if (!makeDirs(d)) fail(UNLHA_ERR_WRITE, d + ": " + sysError(errno));
        destFd_.reset(sys::open(d.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (destFd_.get() < 0) fail(UNLHA_ERR_WRITE, d + ": " + sysError(errno));
    }

    // Opens (creating) each folder below the destination without following
    // links. The descriptor stays valid until the next call: the last folder
    // is kept open, since the entries of one folder mostly come together.
    int openFolders(const std::vector<std::string>& parts, size_t count, const std::string& name) {
        if (!count) return destFd_.get();
        size_t from = 0;
        if (cachedDir_.get() >= 0 && cachedParts_.size() <= count &&
            std::equal(cachedParts_.begin(), cachedParts_.end(), parts.begin()))
            from = cachedParts_.size();
        if (from == count) return cachedDir_.get();
        Fd cur = from ? std::move(cachedDir_) : Fd();
        cachedParts_.clear();
        for (size_t i = from; i < count; ++i) {
            int at = cur.get() >= 0 ? cur.get() : destFd_.get();
            const char* c = parts[i].c_str();
            const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
            int next = sys::openat(at, c, flags);
            if (next < 0 && errno == ENOENT) {
                if (sys::mkdirat(at, c, 0777) != 0 && errno != EEXIST)
                    fail(UNLHA_ERR_WRITE, name + ": " + sysError(errno));
                next = sys::openat(at, c, flags);
            }
            if (next < 0) {
                sys::Stat st;
                if (errno == ELOOP || (sys::fstatat(at, c, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)))
                    throw Error(UNLHA_ERR_UNSAFE_NAME, name + ": refused, the path passes through a link");
                fail(UNLHA_ERR_WRITE, name + ": " + sysError(errno));
            }
            cur.reset(next);
        }
        cachedDir_ = std::move(cur);
        cachedParts_.assign(parts.begin(), parts.begin() + static_cast<ptrdiff_t>(count));
        return cachedDir_.get();
    }

    void extract(const Entry& e, lzh::ByteSource& data) {
        bool keepFolders = opt_.command == 'x' && opt_.withFolders;
        std::string name = e.path();
        if (e.isDir() && !keepFolders) return;
        if (e.fault != lzh::NameFault::None) {
            record(UNLHA_ERR_UNSAFE_NAME, name + ": refused, " + lzh::describe(e.fault));
            return;
        }
        if (!lzh::findMethod(e.method) && !lzh::isStored(e.method) && !e.isDir()) {
            record(UNLHA_ERR_METHOD, "unsupported method " + e.method + ": " + name);
            return;
        }
        std::vector<std::string> parts = keepFolders ? e.parts : std::vector<std::string>{e.parts.back()};
        for (const auto& part : parts)
            if (const char* why = sys::nameFault(part)) {
                record(UNLHA_ERR_UNSAFE_NAME, name + ": refused, " + why);
                return;
            }
        try {
            if (e.isDir()) {
                openFolders(parts, parts.size(), name);
                return;
            }
            int dir = openFolders(parts, parts.size() - 1, name);
            writeFile(e, data, dir, parts.back(), name);
        } catch (const Error& err) {
            if (err.code != UNLHA_ERR_UNSAFE_NAME && err.code != UNLHA_ERR_WRITE && err.code != UNLHA_ERR_CRC) throw;
            record(err.code, err.what());
        }
    }

    void writeFile(const Entry& e, lzh::ByteSource& data, int dir, const std::string& leaf, const std::string& name) {
        // Written without a final name, which it takes only when complete
        // and correct; the name replaces a link there, never follows it.
        PendingFile file(dir, name, nameless_);
        uint16_t crc;
        {
            lzh::FdSink sink(file.fd(), name);
            crc = lzh::unpack(decoder_, e, data, sink, progress_);
            sink.flush();
        }
        if (crc != e.crc) fail(UNLHA_ERR_CRC, name + ": CRC error");
        // The umask narrows stored modes too, as tar does for ordinary users.
        mode_t mode = (e.hasMode ? (e.mode & 0777) : 0666) & ~currentUmask();
        struct timespec times[2] = {{static_cast<time_t>(e.mtime), 0}, {static_cast<time_t>(e.mtime), 0}};
        sys::fchmod(file.fd(), mode);
        sys::futimens(file.fd(), times);
        if (!file.publish(dir, leaf, !opt_.overwrite)) {
            if (errno != EEXIST) fail(UNLHA_ERR_WRITE, name + ": " + sysError(errno));
            if (!opt_.overwrite(name)) {
                text_ += name + ": exists, kept\n";
                return;
            }
            if (!file.publish(dir, leaf, true)) fail(UNLHA_ERR_WRITE, name + ": " + sysError(errno));
        }
        text_ += name + "\n";
    }

    const Options& opt_;
    std::string& text_;
    lzh::Progress progress_;
    lzh::Decoder decoder_;
    const bool nameless_ = namelessFilesWork();
    std::string current_;
    uint64_t done_ = 0, total_ = 0;
    std::vector<std::string> patterns_;
    std::string dest_;
    Fd destFd_;
    uint64_t offset_ = 0, size_ = 0;  // where the archive lies in the file
    Fd cachedDir_;                    // the folder openFolders opened last, and its path
    std::vector<std::string> cachedParts_;
    int firstError_ = 0;
};

}  // namespace

int guarded(const std::function<int()>& op, std::string& text) {
    try {
        return op();
    } catch (const Error& e) {
        text += lzh::escapeControls(e.what());
        text += "\n";
        return e.code;
    } catch (const std::bad_alloc&) {
        text += "out of memory\n";
        return UNLHA_ERR_MEMORY;
    } catch (const std::exception& e) {
        text += e.what();
        text += "\n";
        return UNLHA_ERR_INTERNAL;
    } catch (...) {  // nothing may cross the C entry point
        return UNLHA_ERR_INTERNAL;
    }
}

int run(const Options& opt, std::string& text) {
    return guarded(
        [&] {
            if (opt.archive.empty()) fail(UNLHA_ERR_NO_ARCHIVE, "no archive named");
            switch (opt.command) {
                case 'a': return addCommand(opt, text);
                case 'l':
                case 't':
                case 'x':
                case 'e': return Reader(opt, text).run();
                default: fail(UNLHA_ERR_COMMAND, "unknown command");
            }
        },
        text);
}

}  // namespace archive
