#include "shell/DataFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cmath>
#include <cstring>
#include <locale.h>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr std::size_t MaxErrorText = 299;
constexpr std::size_t MaxTagText = 99;
constexpr char HexDigits[] = "0123456789ABCDEF";

// Numbers in these files are always in the C locale, whatever locale Qt has set up.
class ScopedCLocale {
public:
    ScopedCLocale() : previous_(uselocale(CLocale())) {}
    ~ScopedCLocale() { uselocale(previous_); }
    ScopedCLocale(const ScopedCLocale&) = delete;
    ScopedCLocale& operator=(const ScopedCLocale&) = delete;

private:
    static locale_t CLocale() {
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
        return c;
    }
    locale_t previous_;
};

bool IsScrambledStart(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 0;   // anything else counts as 0
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

std::string FormatV(const char* format, va_list arguments) {
    ScopedCLocale cLocale;
    std::vector<char> buffer(500);
    for (;;) {
        va_list copy;
        va_copy(copy, arguments);
        const int needed = std::vsnprintf(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (needed < 0) return {};
        if (static_cast<std::size_t>(needed) + 1 < buffer.size()) return {buffer.data(), static_cast<std::size_t>(needed)};
        buffer.resize(buffer.size() + 500 * (static_cast<std::size_t>(needed) / 500 + 1));
    }
}

}  // namespace

DataFile::DataFile() { line_.reserve(500); }

DataFile::~DataFile() { Close(); }

void DataFile::SetErrorText(std::string text) {
    if (text.size() > MaxErrorText) text.resize(MaxErrorText);
    errorText_ = std::move(text);
}

bool DataFile::OpenWrite(const std::string& path, const char* const* tags, bool append) {
    Close();
    // Binary mode: the CR LF line ends are written by hand, as the file format wants them.
    file_ = std::fopen(path.c_str(), append ? "ab" : "wb");
    if (!file_) {
        // The owner shows this text in its own words; an empty one would tell the user nothing.
        SetErrorText("Could not open file '" + path + "'");
        return false;
    }
    tags_ = tags;
    tagCount_ = 0;
    while (tags_ && tags_[tagCount_]) ++tagCount_;
    errorText_.clear();
    writeError_ = 0;
    return true;
}

bool DataFile::OpenRead(const std::string& path, const char* const* tags) {
    Close();
    tags_ = tags;
    tagCount_ = 0;
    while (tags_ && tags_[tagCount_]) ++tagCount_;
    errorText_.clear();
    line_.clear();
    readPos_ = lineLength_ = 0;
    atEnd_ = readFailed_ = afterCR_ = false;
    lineNumber_ = linesEnded_ = 0;
    path_ = path;
    file_ = std::fopen(path.c_str(), "rb");
    // A folder opens for reading but gives no bytes: it is a file that cannot be opened, not
    // an empty one.
    struct stat status {};
    if (file_ && (fstat(fileno(file_), &status) != 0 || S_ISDIR(status.st_mode))) {
        std::fclose(file_);
        file_ = nullptr;
    }
    if (!file_) {
        SetErrorText("Could not open file '" + path + "'");
        return false;
    }
    return true;
}

bool DataFile::Close() {
    if (!file_) return true;
    errno = 0;
    const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
    if (!flushed && !writeError_) writeError_ = errno ? errno : EIO;
    const bool closed = std::fclose(file_) == 0;
    if (!closed && !writeError_) writeError_ = errno ? errno : EIO;
    file_ = nullptr;
    return flushed && closed && !writeError_;
}

void DataFile::Put(std::string_view bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() && !writeError_)
        writeError_ = errno ? errno : EIO;
}

void DataFile::WriteLine(std::string_view bytes, bool scrambled) {
    if (!file_) return;
    if (scrambled) {
        std::string hex;
        hex.reserve(bytes.size() * 2 + 2);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const auto mixed = static_cast<unsigned char>(bytes[i] ^ ScrambleKey[i % ScrambleKey.size()]);
            hex += HexDigits[mixed >> 4];
            hex += HexDigits[mixed & 0x0F];
        }
        hex += "\r\n";
        Put(hex);
    } else {
        Put(bytes);
        Put("\r\n");
    }
}

bool DataFile::WriteTag(int tag) {
    if (!IsKnownTag(tag)) return false;
    WriteLine(std::string(tags_[tag]) + ":", scramble_);
    return true;
}

bool DataFile::WriteTagValue(int tag, const char* format, ...) {
    if (!IsKnownTag(tag)) return false;
    va_list arguments;
    va_start(arguments, format);
    const std::string value = FormatV(format, arguments);
    va_end(arguments);
    WriteLine(std::string(tags_[tag]) + ": " + value, scramble_);
    return true;
}

bool DataFile::WriteInt(int tag, std::int32_t value) { return WriteTagValue(tag, "%d", value); }

bool DataFile::WriteBool(int tag, bool value) { return WriteTagValue(tag, "%d", value ? 1 : 0); }

bool DataFile::WriteBinary(int tag, const void* bytes, std::size_t length) {
    if (!IsKnownTag(tag)) return false;
    std::string line = std::string(tags_[tag]) + ":";
    if (length) line.append(static_cast<const char*>(bytes), length);
    WriteLine(line, true);
    return true;
}

bool DataFile::WriteScrambled(const void* bytes, long length) {
    const char* text = static_cast<const char*>(bytes);
    const std::size_t count = length < 0 ? std::strlen(text) : static_cast<std::size_t>(length);
    WriteLine(std::string_view(text, count), true);
    return true;
}

bool DataFile::FailRead(std::string text) {
    readFailed_ = true;
    line_.clear();
    line_.shrink_to_fit();   // a refused line gives its memory back at once
    readPos_ = lineLength_ = 0;
    SetErrorText(std::move(text));
    return false;
}

// In powers of two, so that the last step lands on the limit itself: the buffer never outgrows
// it, and no copy of a nearly full one sits beside it. A new string, since reserve() on a used
// one may round the size up to twice the old.
void DataFile::Grow() {
    std::string grown;
    grown.reserve(std::min(std::bit_ceil(line_.size() + 1), MaxLineLength));
    grown.append(line_);
    line_.swap(grown);
}

bool DataFile::ReadLine() {
    line_.clear();
    readPos_ = lineLength_ = 0;
    if (readFailed_) return false;
    int c = EOF;
    if (file_) {
        // Line ends before the first character are empty lines: skip them. CR LF ends one line.
        for (;;) {
            c = getc_unlocked(file_);
            if (c == '\n') {
                if (!afterCR_) ++linesEnded_;
            } else if (c == '\r') {
                ++linesEnded_;
            } else {
                break;
            }
            afterCR_ = c == '\r';
        }
        afterCR_ = false;
        lineNumber_ = linesEnded_ + 1;
        while (c != EOF && c != '\r' && c != '\n') {
            if (line_.size() == MaxLineLength)
                return FailRead("The line " + std::to_string(lineNumber_) + " is longer than " +
                                std::to_string(MaxLineLength >> 20) + " MiB");
            if (line_.size() == line_.capacity()) Grow();
            line_ += static_cast<char>(c);
            c = getc_unlocked(file_);
        }
        if (c == '\r' || c == '\n') {
            ++linesEnded_;
            afterCR_ = c == '\r';
        }
        if (c == EOF && std::ferror(file_)) return FailRead("Could not read file '" + path_ + "'");
    }
    if (line_.empty()) {
        atEnd_ = true;
        SetErrorText("Premature end of file");
        return false;
    }
    if (IsScrambledStart(line_[0])) Unscramble();
    lineLength_ = line_.size();
    return true;
}

// In place: the byte of pair p lands at p, before the digits of any later pair.
void DataFile::Unscramble() {
    std::size_t pair = 0;
    for (; 2 * pair + 1 < line_.size(); ++pair) {
        const int value = HexValue(line_[2 * pair]) * 16 + HexValue(line_[2 * pair + 1]);
        line_[pair] = static_cast<char>(value ^ ScrambleKey[pair % ScrambleKey.size()]);
    }
    line_.resize(pair);
}

int DataFile::ReadTag() {
    if (!ReadLine()) return -2;
    const std::size_t colon = line_.find(':');
    if (colon == std::string::npos) {
        readPos_ = line_.size();
        lineLength_ = 0;
        return -2;
    }
    const std::string tagText = line_.substr(0, std::min(colon, MaxTagText));
    readPos_ = colon + 1;
    lineLength_ = line_.size() - readPos_;
    if (colon <= MaxTagText)
        for (int tag = 0; tag < tagCount_; ++tag)
            if (EqualsIgnoringAsciiCase(tagText, tags_[tag])) return tag;
    SetErrorText("unrecognized tag name: " + tagText);
    return -1;
}

bool DataFile::ParseInt(std::int32_t& value) const {
    ScopedCLocale cLocale;
    const char* start = line_.c_str() + readPos_;
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(start, &end, 10);
    if (end == start) return false;
    // A number too large for 32 bits reads as the nearest 32-bit value, so that a range test
    // sees it as out of range instead of wrapped into range.
    value = number > INT32_MAX ? INT32_MAX : number < INT32_MIN ? INT32_MIN : static_cast<std::int32_t>(number);
    return true;
}

std::string DataFile::RangeMessage(const std::string& range) const {
    // The message is cut at its limit anyway: a long line is never copied whole.
    return "Data out of range" + range + " in the line '" + line_.substr(0, std::min(line_.find('\0'), MaxErrorText)) +
           "'";
}

bool DataFile::ReadInt(std::int32_t& value, int min, int max) {
    ParseInt(value);   // without a number the value stays, and the range test applies to it
    if (min != max && (value < min || value > max)) {
        SetErrorText(RangeMessage(" [" + std::to_string(min) + ", " + std::to_string(max) + "]"));
        return false;
    }
    return true;
}

bool DataFile::ReadInt64(std::int64_t& value) {
    ScopedCLocale cLocale;
    const char* start = line_.c_str() + readPos_;
    char* end = nullptr;
    errno = 0;
    const long long number = std::strtoll(start, &end, 10);
    if (end == start) return true;
    if (errno == ERANGE) {
        SetErrorText(RangeMessage(" [" + std::to_string(INT64_MIN) + ", " + std::to_string(INT64_MAX) + "]"));
        return false;
    }
    value = number;
    return true;
}

bool DataFile::ReadDouble(double& value) {
    ScopedCLocale cLocale;
    const char* start = line_.c_str() + readPos_;
    char* end = nullptr;
    const double number = std::strtod(start, &end);
    if (end == start) return true;
    if (!std::isfinite(number)) {
        SetErrorText(RangeMessage(""));
        return false;
    }
    value = number;
    return true;
}

bool DataFile::ReadBool(bool& value) {
    std::int32_t number = 0;
    value = ParseInt(number) && number == 1;
    return true;
}

std::string DataFile::SkipSpaces() const {
    std::size_t pos = std::min(readPos_, line_.size());
    while (pos < line_.size() && (line_[pos] == ' ' || line_[pos] == '\t')) ++pos;
    return line_.substr(pos, line_.find('\0', pos) - pos);
}
