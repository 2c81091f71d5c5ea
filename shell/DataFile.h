#pragma once
// The tagged-line text file beneath the options file and the table data file. Each line is a
// tag name, a colon and, for most lines, a blank and a value. Any line may be written
// scrambled: its bytes XOR a fixed key, as upper-case hexadecimal digits, which hides long
// texts and lets binary values travel in a text file. Lines end with CR LF on disk.

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

class DataFile {
public:
    DataFile();
    ~DataFile();   // closes a file still open, so that none leaks
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // tags: the caller's list of tag names, ended by a NULL entry; a tag's number is its
    // position. The list must outlive the open file.
    bool OpenWrite(const std::string& path, const char* const* tags, bool append);
    bool OpenRead(const std::string& path, const char* const* tags);
    // True when the file was written and closed without an error (or none was open).
    bool Close();

    // Each writer answers false, writing nothing, for a tag number outside the tag table.
    bool WriteTag(int tag);
    bool WriteTagValue(int tag, const char* format, ...) __attribute__((format(printf, 3, 4)));
    bool WriteInt(int tag, std::int32_t value);
    bool WriteBool(int tag, bool value);
    bool WriteBinary(int tag, const void* bytes, std::size_t length);   // always scrambled
    bool WriteScrambled(const void* bytes, long length);   // -1: up to the terminator

    // A line longer than this is refused: one line never takes more memory than this.
    static constexpr std::size_t MaxLineLength = 64u << 20;

    // The next non-empty line; false at the end of the file, or when the line could not be read.
    bool ReadLine();
    // True once a read has found no further line (-2 from ReadTag is then the end, not a line
    // without a colon).
    bool AtEnd() const { return atEnd_; }
    // True once a line could not be read (too long, or the system's read failed); the error
    // text says which line. Every further read fails too.
    bool ReadFailed() const { return readFailed_; }
    int ReadTag();                    // tag number; -1 unknown tag; -2 no line or no colon
    bool ReadInt(std::int32_t& value, int min, int max);   // min == max: any number passes
    // Any number that 64 bits hold; false, with the range message, for one beyond them. Without
    // a number the value stays as it was.
    bool ReadInt64(std::int64_t& value);
    // False, with the range message, for a number that is not finite ("1e999", "inf", "nan").
    bool ReadDouble(double& value);
    bool ReadBool(bool& value);
    // The rest of the line after blanks and tabs, as a text: up to its first zero byte.
    std::string SkipSpaces() const;
    // The number of the current line in the file, from 1; empty lines count.
    long LineNumber() const { return lineNumber_; }

    // The raw value after ReadTag: its bytes start here and LineLength() counts them
    // (a scrambled line may hold zero bytes).
    const char* ReadPointer() const { return line_.data() + readPos_; }
    std::size_t LineLength() const { return lineLength_; }
    std::string_view RawValue() const { return {ReadPointer(), lineLength_}; }

    void SetScramble(bool scramble) { scramble_ = scramble; }
    bool IsScrambled() const { return scramble_; }
    const std::string& GetErrorText() const { return errorText_; }
    bool IsOpen() const { return file_ != nullptr; }
    // The system's error number of the first write that failed since the file was opened, 0 if none.
    int WriteError() const { return writeError_; }

    static constexpr std::string_view ScrambleKey = "wumbrazel4tigoquv918273hapnixor52641";

protected:
    void SetErrorText(std::string text);

private:
    bool IsKnownTag(int tag) const { return tag >= 0 && tag < tagCount_; }
    void WriteLine(std::string_view bytes, bool scrambled);
    void Put(std::string_view bytes);   // notes the first failed write
    void Unscramble();
    bool ParseInt(std::int32_t& value) const;
    bool FailRead(std::string text);
    void Grow();
    std::string RangeMessage(const std::string& range) const;

    const char* const* tags_ = nullptr;
    int tagCount_ = 0;
    std::FILE* file_ = nullptr;
    std::string line_;              // the whole current line, unscrambled
    std::size_t readPos_ = 0;       // next character to read; after the colon once the tag is read
    bool scramble_ = true;
    std::string errorText_;         // at most 299 characters
    std::size_t lineLength_ = 0;    // bytes of the line; after the tag, bytes after the colon
    bool atEnd_ = false;
    bool readFailed_ = false;
    std::string path_;
    long lineNumber_ = 0;
    long linesEnded_ = 0;           // line ends met so far; CR LF counts once
    bool afterCR_ = false;
    int writeError_ = 0;
};
