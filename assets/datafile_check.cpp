// Checks of the data file: a walk of its structure before loading, and of the loaded objects.
//
// The layout walked here is Allegro 4's: "slh." (plain) or "slh!" (everything after it LZSS
// packed), then "ALL.", a big-endian object count, and per object any number of properties
// ("prop", id, length, bytes), then its type, stored size, data size (negative when the object
// alone is packed) and body. Allegro trusts every one of these numbers; this walk trusts none,
// and also refuses what load_datafile could read but would read wrongly or crash on.
#include "assets/datafile_check.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "assets/assets.h"
#include "frame/globals.h"
#include "platform/files/wide_path.h"

namespace vexlorn {

namespace {

constexpr uint32_t fourCc(char a, char b, char c, char d) {
    return (uint32_t(uint8_t(a)) << 24) | (uint32_t(uint8_t(b)) << 16) |
           (uint32_t(uint8_t(c)) << 8) | uint32_t(uint8_t(d));
}

constexpr uint32_t plainMagic = fourCc('s', 'l', 'h', '.');
constexpr uint32_t packedMagic = fourCc('s', 'l', 'h', '!');
constexpr uint32_t allMagic = fourCc('A', 'L', 'L', '.');
constexpr uint32_t propertyType = fourCc('p', 'r', 'o', 'p');
constexpr uint32_t bitmapType = fourCc('B', 'M', 'P', ' ');
constexpr uint32_t fontType = fourCc('F', 'O', 'N', 'T');

// Types Allegro loads with a reader of its own that this game neither uses nor can vouch for
// (nested files, samples, MIDI, sprites...). Every other type is read as plain bytes, safely.
constexpr uint32_t unreadTypes[] = {
    fourCc('F', 'I', 'L', 'E'), fourCc('S', 'A', 'M', 'P'), fourCc('M', 'I', 'D', 'I'),
    fourCc('P', 'A', 'T', ' '), fourCc('F', 'L', 'I', 'C'), fourCc('R', 'L', 'E', ' '),
    fourCc('C', 'M', 'P', ' '), fourCc('X', 'C', 'M', 'P'), fourCc('P', 'A', 'L', ' '),
};

// A data file larger than this is not ours; refusing it keeps the check's memory bounded.
constexpr long largestFile = 256L * 1024 * 1024;

constexpr int lzssRing = 4096;
constexpr int lzssLongestMatch = 18;
constexpr int lzssThreshold = 2;

enum class Problem { Damaged, Unsuitable };

// Writes "The data file "<path>" ..." with the reason into the caller's buffer.
class Report {
public:
    Report(const char* path, char* error, int errorSize)
        : path_(path), error_(error), errorSize_(errorSize) {}

    bool fail(Problem problem, const char* format, ...) __attribute__((format(printf, 3, 4))) {
        char reason[400];
        va_list args;
        va_start(args, format);
        std::vsnprintf(reason, sizeof reason, format, args);
        va_end(args);
        const char* what = problem == Problem::Damaged ? "is damaged" : "does not suit this game";
        write("The data file \"%s\" %s: %s.", path_, what, reason);
        return false;
    }

    bool missing() {
        write("The data file \"%s\" is missing. The game needs it beside the program.", path_);
        return false;
    }

    bool unreadable(int errorNumber) {
        write("The data file \"%s\" cannot be read: %s.", path_, std::strerror(errorNumber));
        return false;
    }

private:
    void write(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        if (error_ == nullptr || errorSize_ <= 0) return;
        va_list args;
        va_start(args, format);
        std::vsnprintf(error_, static_cast<size_t>(errorSize_), format, args);
        va_end(args);
    }

    const char* path_;
    char* error_;
    int errorSize_;
};

// Reads big-endian numbers from a byte range; the caller asks has() before every read.
class Cursor {
public:
    Cursor(const unsigned char* bytes, size_t size) : bytes_(bytes), size_(size) {}

    size_t left() const { return size_ - pos_; }
    bool has(size_t count) const { return count <= left(); }
    const unsigned char* here() const { return bytes_ + pos_; }
    void skip(size_t count) { pos_ += count; }

    uint8_t byte() { return bytes_[pos_++]; }
    uint16_t be16() {
        uint16_t value = uint16_t(bytes_[pos_] << 8 | bytes_[pos_ + 1]);
        pos_ += 2;
        return value;
    }
    uint32_t be32() {
        uint32_t value = uint32_t(bytes_[pos_]) << 24 | uint32_t(bytes_[pos_ + 1]) << 16 |
                         uint32_t(bytes_[pos_ + 2]) << 8 | uint32_t(bytes_[pos_ + 3]);
        pos_ += 4;
        return value;
    }

private:
    const unsigned char* bytes_;
    size_t size_;
    size_t pos_ = 0;
};

bool isPrintableType(uint32_t type) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        unsigned char c = static_cast<unsigned char>(type >> shift);
        if (c < 0x20 || c > 0x7E) return false;
    }
    return true;
}

bool isUnreadType(uint32_t type) {
    for (uint32_t unread : unreadTypes) {
        if (type == unread) return true;
    }
    return false;
}

void typeName(uint32_t type, char (&name)[5]) {
    for (int i = 0; i < 4; ++i) name[i] = static_cast<char>(type >> (24 - 8 * i));
    name[4] = '\0';
}

// Bytes per stored pixel for a bitmap depth as Allegro writes it (negative: with alpha),
// 0 for depths it cannot read back.
size_t storedPixelBytes(int depth) {
    switch (depth) {
        case 8:
            return 1;
        case 15:
        case 16:
            return 2;
        case 24:
        case 32:
            return 3;
        case -24:
        case -32:
            return 4;
        default:
            return 0;
    }
}

// One pass over the object list of a plain (unpacked) data-file image.
class StructureWalk {
public:
    explicit StructureWalk(Report& report, DataFileLayout* layout = nullptr)
        : report_(report), layout_(layout) {}

    bool walk(Cursor in) {
        if (!in.has(4) || in.be32() != allMagic) {
            return report_.fail(Problem::Damaged, "its contents do not start with \"ALL.\"");
        }
        if (!in.has(4)) return report_.fail(Problem::Damaged, "it ends before its object count");
        int32_t count = static_cast<int32_t>(in.be32());
        if (count < 0) {
            return report_.fail(Problem::Damaged, "its object count is negative (%d)", count);
        }
        for (int32_t index = 0; index < count; ++index) {
            if (in.left() == 0) {
                return report_.fail(Problem::Damaged,
                                    "it announces %d objects but ends after %d of them", count,
                                    index);
            }
            if (!object(in, index)) return false;
        }
        if (layout_ != nullptr) layout_->objectCount = count;
        if (in.left() != 0) {
            return report_.fail(Problem::Damaged,
                                "%zu bytes of unknown data follow its last object", in.left());
        }
        return true;
    }

private:
    bool cutShort(int index) {
        return report_.fail(Problem::Damaged, "it ends in the middle of object %d", index);
    }

    bool object(Cursor& in, int index) {
        for (;;) {
            if (!in.has(4)) return cutShort(index);
            uint32_t type = in.be32();
            if (type != propertyType) return objectBody(in, index, type);
            if (!in.has(8)) return cutShort(index);
            in.skip(4);
            int32_t length = static_cast<int32_t>(in.be32());
            if (length < 0) {
                return report_.fail(Problem::Damaged,
                                    "a property of object %d has a negative length", index);
            }
            if (!in.has(static_cast<size_t>(length))) return cutShort(index);
            in.skip(static_cast<size_t>(length));
        }
    }

    bool objectBody(Cursor& in, int index, uint32_t type) {
        // A type of -1 would make Allegro call a loader that does not exist.
        if (!isPrintableType(type)) {
            return report_.fail(Problem::Damaged, "object %d has no valid type", index);
        }
        if (isUnreadType(type)) {
            char name[5];
            typeName(type, name);
            return report_.fail(Problem::Unsuitable,
                                "object %d is of type \"%s\", which the game does not read", index,
                                name);
        }
        if (!in.has(8)) return cutShort(index);
        int32_t stored = static_cast<int32_t>(in.be32());
        int32_t unpacked = static_cast<int32_t>(in.be32());
        if (stored < 0 || unpacked == INT32_MIN) {
            return report_.fail(Problem::Damaged, "object %d has an impossible size", index);
        }
        if (!in.has(static_cast<size_t>(stored))) return cutShort(index);
        const unsigned char* stream = in.here();
        in.skip(static_cast<size_t>(stored));
        if (unpacked >= 0) {
            // Allegro reads `unpacked` bytes and ignores `stored`: they must agree.
            if (stored != unpacked) {
                return report_.fail(Problem::Damaged,
                                    "object %d gives two different sizes (%d and %d bytes)", index,
                                    stored, unpacked);
            }
            return checkBody(index, type, Cursor(stream, static_cast<size_t>(stored)));
        }
        size_t wanted = static_cast<size_t>(-static_cast<int64_t>(unpacked));
        // Allegro reads the packed stream until the body is complete and goes on from there,
        // so a stream that ends early or late would shift every later object.
        LzssExtent extent = measureLzss(stream, static_cast<size_t>(stored), wanted);
        if (extent.unpacked != wanted || extent.consumed != static_cast<size_t>(stored)) {
            return report_.fail(Problem::Damaged,
                                "the packed data of object %d does not unpack to its %zu bytes",
                                index, wanted);
        }
        std::vector<unsigned char> body;
        // A picture's header tells all there is to check; its pixels need not be unpacked.
        unpackLzss(stream, static_cast<size_t>(stored), type == bitmapType ? 6 : wanted, body);
        if (type == bitmapType) return bitmapBody(index, Cursor(body.data(), body.size()), wanted);
        return checkBody(index, type, Cursor(body.data(), body.size()));
    }

    bool checkBody(int index, uint32_t type, const Cursor& body) {
        if (type == bitmapType) return bitmapBody(index, body, body.left());
        if (type == fontType) return fontBody(index, body);
        return true;
    }

    // `bodySize`: the whole body's size, of which `body` may hold only the start.
    bool bitmapBody(int index, Cursor body, size_t bodySize) {
        if (!body.has(6)) {
            return report_.fail(Problem::Damaged, "the picture in object %d is cut short", index);
        }
        int depth = static_cast<int16_t>(body.be16());
        size_t width = body.be16();
        size_t height = body.be16();
        size_t pixelBytes = storedPixelBytes(depth);
        if (pixelBytes == 0) {
            return report_.fail(Problem::Damaged,
                                "the picture in object %d has an unknown colour depth (%d)", index,
                                depth);
        }
        // The game's picture reader takes true colour only (see bitmap_reader.h).
        if (depth != 24 && depth != 32 && depth != -32) {
            return report_.fail(Problem::Unsuitable,
                                "the picture in object %d is stored at %d bits per pixel; the "
                                "game reads pictures stored at 24 or 32",
                                index, depth < 0 ? -depth : depth);
        }
        if (width == 0 || height == 0) {
            return report_.fail(Problem::Damaged, "the picture in object %d is %zu x %zu pixels",
                                index, width, height);
        }
        size_t needed = width * height * pixelBytes;
        if (bodySize - 6 != needed) {
            return report_.fail(Problem::Damaged,
                                "the picture in object %d holds %zu bytes of pixels where "
                                "%zu x %zu pixels need %zu",
                                index, bodySize - 6, width, height, needed);
        }
        if (layout_ != nullptr) {
            layout_->pictures.push_back(
                StoredPicture{index, static_cast<int>(width), static_cast<int>(height)});
        }
        return true;
    }

    bool fontBody(int index, Cursor body) {
        if (!body.has(4)) return fontCutShort(index);
        // A non-zero first word marks the fixed and proportional formats of Allegro 3.
        if (body.be16() != 0) {
            return report_.fail(Problem::Unsuitable,
                                "the font in object %d is in an old format the game does not read",
                                index);
        }
        int ranges = body.be16();
        // Allegro leaves a font without ranges half made; destroying it would crash.
        if (ranges == 0) {
            return report_.fail(Problem::Damaged, "the font in object %d has no characters", index);
        }
        bool mono = false;
        bool colour = false;
        for (int range = 0; range < ranges; ++range) {
            if (!body.has(9)) return fontCutShort(index);
            int depth = body.byte();
            int64_t first = static_cast<int32_t>(body.be32());
            int64_t last = static_cast<int32_t>(body.be32());
            if (first < 0 || last < first || last - first >= 0x110000) {
                return report_.fail(Problem::Damaged,
                                    "the font in object %d has an invalid character range", index);
            }
            bool isMono = depth == 1 || depth == 255;
            size_t pixelBytes = isMono ? 0 : storedPixelBytes(depth == 0 ? 8 : depth);
            if (!isMono && pixelBytes == 0) {
                return report_.fail(Problem::Damaged,
                                    "the font in object %d has an unknown colour depth (%d)", index,
                                    depth);
            }
            (isMono ? mono : colour) = true;
            for (int64_t glyph = first; glyph <= last; ++glyph) {
                if (!body.has(4)) return fontCutShort(index);
                size_t width = body.be16();
                size_t height = body.be16();
                size_t bytes = isMono ? (width + 7) / 8 * height : width * height * pixelBytes;
                if (!body.has(bytes)) return fontCutShort(index);
                body.skip(bytes);
            }
        }
        // Allegro keeps one drawing method per font: mixed ranges would be drawn as garbage.
        if (mono && colour) {
            return report_.fail(Problem::Damaged,
                                "the font in object %d mixes one-colour and coloured characters",
                                index);
        }
        if (body.left() != 0) {
            return report_.fail(Problem::Damaged,
                                "the font in object %d is followed by %zu bytes of unknown data",
                                index, body.left());
        }
        return true;
    }

    bool fontCutShort(int index) {
        return report_.fail(Problem::Damaged, "the font in object %d is cut short", index);
    }

    Report& report_;
    DataFileLayout* layout_;
};

constexpr int largestTileSheet = 4096;

const char* kindName(int type) {
    switch (type) {
        case DAT_BITMAP:
            return "a picture";
        case DAT_FONT:
            return "a font";
        case DAT_DATA:
            return "raw data";
        default:
            return "an object of another kind";
    }
}

bool checkKind(Report& report, const DATAFILE& object, int index, int type, const char* wanted) {
    if (object.type == type && object.dat != nullptr) return true;
    return report.fail(Problem::Unsuitable,
                       "object %d is not what the game needs (it should be %s, it is %s)", index,
                       wanted, kindName(object.type));
}

bool checkPicture(Report& report, const DATAFILE& object, int index, ObjectKind kind) {
    if (!checkKind(report, object, index, DAT_BITMAP, "a picture")) return false;
    const BITMAP* picture = static_cast<const BITMAP*>(object.dat);
    int depth = bitmap_color_depth(const_cast<BITMAP*>(picture));
    if (depth != 32) {
        return report.fail(Problem::Unsuitable,
                           "object %d is not what the game needs (its picture has %d bits per "
                           "pixel; it must be stored at 24 or 32)",
                           index, depth);
    }
    int width = picture->w;
    int height = picture->h;
    bool fits = true;
    const char* wanted = "";
    switch (kind) {
        case ObjectKind::Screen:
            fits = width == screenWidth && height == screenHeight;
            wanted = "a picture of 640 x 480";
            break;
        case ObjectKind::TileSheet:
            fits = width >= tileSheetWidth && height >= tileSheetHeight &&
                   width <= largestTileSheet && height <= largestTileSheet;
            wanted = "a tile sheet of at least 512 x 128";
            break;
        default:
            fits = width >= 1 && height >= 1 && width <= screenWidth && height <= screenHeight;
            wanted = "a picture no larger than 640 x 480";
            break;
    }
    if (fits) return true;
    return report.fail(Problem::Unsuitable,
                       "object %d is not what the game needs (it should be %s, it is %d x %d)",
                       index, wanted, width, height);
}

bool checkObject(Report& report, const DATAFILE& object, int index) {
    const ObjectKind kind = dataObjects[index].kind;
    switch (kind) {
        case ObjectKind::Unused:
            return true;
        case ObjectKind::Font:
            if (!checkKind(report, object, index, DAT_FONT, "a font")) return false;
            if (text_height(static_cast<FONT*>(object.dat)) <= 0) {
                return report.fail(Problem::Unsuitable,
                                   "object %d is not what the game needs (its font has no height)",
                                   index);
            }
            return true;
        case ObjectKind::Sound:
            if (!checkKind(report, object, index, DAT_DATA, "sound data")) return false;
            if (object.size <= 0) {
                return report.fail(Problem::Unsuitable,
                                   "object %d is not what the game needs (its sound data is empty)",
                                   index);
            }
            return true;
        default:
            return checkPicture(report, object, index, kind);
    }
}

}  // namespace

size_t unpackLzss(const unsigned char* input, size_t inputSize, size_t limit,
                  std::vector<unsigned char>& output) {
    // Allegro's ring starts zeroed at position N - F; the same numbers decode its streams.
    unsigned char ring[lzssRing] = {};
    int r = lzssRing - lzssLongestMatch;
    unsigned flags = 0;
    size_t in = 0;
    // A flag byte and eight two-byte codes of 18 bytes each: no stream unpacks to more than nine
    // times its size, so a size the file merely claims cannot make this allocate more. The
    // whole-screen pictures are unpacked here at every start, hence no per-byte growth.
    const size_t room = std::min(limit, inputSize * 9);
    output.resize(room);
    unsigned char* out = output.data();
    size_t made = 0;
    while (made < room) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (in >= inputSize) break;
            flags = input[in++] | 0xFF00u;
        }
        if (flags & 1) {
            if (in >= inputSize) break;
            unsigned char c = input[in++];
            ring[r] = c;
            r = (r + 1) & (lzssRing - 1);
            out[made++] = c;
            continue;
        }
        if (in + 2 > inputSize) break;
        int position = input[in] | ((input[in + 1] & 0xF0) << 4);
        int length = (input[in + 1] & 0x0F) + lzssThreshold + 1;
        in += 2;
        for (int k = 0; k < length && made < room; ++k) {
            unsigned char c = ring[(position + k) & (lzssRing - 1)];
            ring[r] = c;
            r = (r + 1) & (lzssRing - 1);
            out[made++] = c;
        }
    }
    output.resize(made);
    return in;
}

LzssExtent measureLzss(const unsigned char* input, size_t inputSize, size_t limit) {
    // The same walk as unpackLzss, counting instead of copying: a literal is one byte, a code
    // its length, and the limit cuts a code short as it cuts the unpacking.
    unsigned flags = 0;
    LzssExtent extent;
    size_t& in = extent.consumed;
    size_t& made = extent.unpacked;
    const size_t room = std::min(limit, inputSize * 9);
    while (made < room) {
        flags >>= 1;
        if ((flags & 0x100) == 0) {
            if (in >= inputSize) break;
            flags = input[in++] | 0xFF00u;
        }
        if (flags & 1) {
            if (in >= inputSize) break;
            ++in;
            ++made;
            continue;
        }
        if (in + 2 > inputSize) break;
        const int codeLength = (input[in + 1] & 0x0F) + lzssThreshold + 1;
        const auto length = static_cast<size_t>(codeLength);
        in += 2;
        made += std::min(length, room - made);
    }
    return extent;
}

bool checkDataFileImage(const unsigned char* bytes, size_t size, const char* path, char* error,
                        int errorSize, DataFileLayout* layout) {
    Report report(path, error, errorSize);
    if (size == 0) return report.fail(Problem::Damaged, "it is empty");
    Cursor in(bytes, size);
    uint32_t magic = in.has(4) ? in.be32() : 0;
    if (magic == plainMagic) {
        if (layout != nullptr) *layout = DataFileLayout{};
        const bool sound = StructureWalk(report, layout).walk(Cursor(bytes + 4, size - 4));
        if (layout != nullptr) layout->plain = sound;
        return sound;
    }
    StructureWalk walk(report);
    if (magic == packedMagic) {
        std::vector<unsigned char> contents;
        // One flag byte and eight two-byte codes give at most 144 bytes: 9 per byte bounds it.
        unpackLzss(bytes + 4, size - 4, (size - 4) * 9, contents);
        return walk.walk(Cursor(contents.data(), contents.size()));
    }
    return report.fail(Problem::Damaged,
                       "it is not in the game library's data-file format (it starts with "
                       "neither \"slh.\" nor \"slh!\")");
}

bool checkDataFileStructure(const char* path, char* error, int errorSize, DataFileLayout* layout) {
    if (layout != nullptr) *layout = DataFileLayout{};
    Report report(path, error, errorSize);
    const PathFacts facts = describePath(path);
    if (facts.kind == PathKind::Missing) return report.missing();
    if (facts.kind == PathKind::Unreadable) return report.unreadable(facts.error);
    if (facts.kind == PathKind::Folder) return report.unreadable(EISDIR);
    if (facts.size > static_cast<uint64_t>(largestFile)) {
        return report.fail(Problem::Unsuitable, "at %lld bytes it is far too large",
                           static_cast<long long>(facts.size));
    }
    std::FILE* file = openFile(path, "rb");
    if (file == nullptr) return report.unreadable(errno);
    std::vector<unsigned char> bytes;
    bytes.reserve(static_cast<size_t>(facts.size));
    unsigned char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        if (bytes.size() + got > static_cast<size_t>(largestFile)) break;
        bytes.insert(bytes.end(), block, block + got);
    }
    bool failed = std::ferror(file) != 0;
    int readError = errno;
    std::fclose(file);
    if (failed) return report.unreadable(readError);
    return checkDataFileImage(bytes.data(), bytes.size(), path, error, errorSize, layout);
}

bool checkLoadedObjects(const DATAFILE* data, const char* path, char* error, int errorSize) {
    Report report(path, error, errorSize);
    int count = 0;
    while (data != nullptr && data[count].type != DAT_END) ++count;
    if (count < dataObjectCount) {
        return report.fail(Problem::Unsuitable, "it holds %d objects where the game needs %d",
                           count, dataObjectCount);
    }
    for (int index = 0; index < dataObjectCount; ++index) {
        if (!checkObject(report, data[index], index)) return false;
    }
    return true;
}

}  // namespace vexlorn
