#include "companion/ZipUnpacker.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <new>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <unzip.h>

namespace {

unzFile Archive(void* archive) { return static_cast<unzFile>(archive); }

bool IsControlCharacter(unsigned char c) { return c < 0x20 || c == 0x7f; }

// One folder or file name of an entry: never empty, "." or "..", and free of control characters,
// so that no name can climb out of the target folder or hide what it is.
bool IsSafeNamePart(const char* begin, const char* end) {
  const size_t length = static_cast<size_t>(end - begin);
  if (length == 0) return false;
  if (length == 1 && begin[0] == '.') return false;
  if (length == 2 && begin[0] == '.' && begin[1] == '.') return false;
  for (const char* p = begin; p != end; ++p)
    if (IsControlCharacter(static_cast<unsigned char>(*p))) return false;
  return true;
}

bool IsSafeRelativeName(const char* name) {
  const char* part = name;
  for (;;) {
    const char* separator = std::strchr(part, '\\');
    const char* end = separator ? separator : part + std::strlen(part);
    if (!IsSafeNamePart(part, end)) return false;
    if (!separator) return true;
    part = separator + 1;
  }
}

// Every folder between the target folder and the file must be a real folder: a symbolic link
// there would carry the file somewhere else.
bool NoLinksBelow(const char* folder, const char* target) {
  const size_t start = std::strlen(folder);
  char prefix[ZipUnpacker::kTargetPathSize];
  for (size_t i = start + 1; target[i] != '\0'; ++i) {
    if (target[i] != '/') continue;
    std::memcpy(prefix, target, i);
    prefix[i] = '\0';
    struct stat st;
    if (lstat(prefix, &st) != 0) return errno == ENOENT;
    if (!S_ISDIR(st.st_mode)) return false;
  }
  return true;
}

// Whatever stands at the target path (a file, a hard link, a symbolic link) is removed rather
// than written through, and the new file is made where nothing stands.
int CreateFileAnew(const char* target) {
  struct stat st;
  if (lstat(target, &st) == 0) {
    if (S_ISDIR(st.st_mode) || unlink(target) != 0) return -1;
  } else if (errno != ENOENT) {
    return -1;
  }
  return open(target, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

uint64_t InflateBudgetFor(const char* path) {
  struct stat st;
  const uint64_t size = stat(path, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
  const uint64_t scaled = size > UINT64_MAX / ZipUnpacker::kInflateRatio
                              ? UINT64_MAX
                              : size * ZipUnpacker::kInflateRatio;
  return scaled > ZipUnpacker::kInflateFloor ? scaled : ZipUnpacker::kInflateFloor;
}

bool ExtensionMatches(const char* name, const char* extension) {
  const char* dot = std::strrchr(name, '.');
  return dot && strcasecmp(dot + 1, extension) == 0;
}

}  // namespace

ZipUnpacker::ZipUnpacker(const char* archivePath) {
  if (archivePath) OpenArchive(archivePath);
}

ZipUnpacker::~ZipUnpacker() { Close(); }

int ZipUnpacker::Close() {
  if (!archive_) return 0;
  unzCloseCurrentFile(Archive(archive_));
  const int closed = unzClose(Archive(archive_));
  archive_ = nullptr;
  return closed == UNZ_OK ? 1 : 0;
}

int ZipUnpacker::Open(const char* path) {
  Close();
  return OpenArchive(path) ? 1 : 0;
}

bool ZipUnpacker::OpenArchive(const char* path) {
  if (!path) return false;
  archive_ = unzOpen64(path);
  if (!archive_) return false;
  inflateBudget_ = InflateBudgetFor(path);
  // A path too long for the default folder leaves it empty, so that no entry goes to a folder
  // cut short.
  defaultFolder_[0] = '\0';
  const size_t length = std::strlen(path);
  if (length < sizeof defaultFolder_) {
    std::memcpy(defaultFolder_, path, length + 1);
    if (char* dot = std::strrchr(defaultFolder_, '.')) *dot = '\0';
  }
  return true;
}

uint32_t ZipUnpacker::CountEntries() {
  if (!archive_) return 0;
  unz_global_info64 global;
  if (unzGetGlobalInfo64(Archive(archive_), &global) != UNZ_OK) return 0;
  return static_cast<uint32_t>(global.number_entry);
}

bool ZipUnpacker::CurrentEntryMatches(const char* extension) {
  ZipEntryInfo info;
  return ReadEntryInfo(&info) && ExtensionMatches(info.name, extension);
}

int ZipUnpacker::FirstEntry(const char* extension) {
  if (!archive_) return 0;
  if (unzGoToFirstFile(Archive(archive_)) != UNZ_OK) return 0;
  if (!extension || !*extension) return 1;
  ZipEntryInfo info;
  if (!ReadEntryInfo(&info)) return 0;
  if (ExtensionMatches(info.name, extension)) return 1;
  return NextEntry(extension);
}

int ZipUnpacker::NextEntry(const char* extension) {
  if (!archive_) return 0;
  const bool anyEntry = !extension || !*extension;
  for (;;) {
    if (unzGoToNextFile(Archive(archive_)) != UNZ_OK) return 0;
    if (anyEntry) return 1;
    ZipEntryInfo info;
    if (!ReadEntryInfo(&info)) return 0;
    if (ExtensionMatches(info.name, extension)) return 1;
  }
}

int ZipUnpacker::ReadEntryInfo(ZipEntryInfo* info) {
  if (!archive_ || !info) return 0;
  std::memset(info, 0, sizeof *info);
  unz_file_info64 entry;
  if (unzGetCurrentFileInfo64(Archive(archive_), &entry, info->name, ZipEntryInfo::kNameSize - 1,
                              nullptr, 0, info->comment, ZipEntryInfo::kCommentSize) != UNZ_OK)
    return 0;
  info->comment[ZipEntryInfo::kCommentSize - 1] = '\0';
  info->versionMadeBy = static_cast<uint32_t>(entry.version);
  info->versionNeeded = static_cast<uint32_t>(entry.version_needed);
  info->flags = static_cast<uint32_t>(entry.flag);
  info->compressionMethod = static_cast<uint32_t>(entry.compression_method);
  info->dosDateTime = static_cast<uint32_t>(entry.dosDate);
  info->crc = static_cast<uint32_t>(entry.crc);
  info->compressedSize = static_cast<uint32_t>(entry.compressed_size);
  info->uncompressedSize = static_cast<uint32_t>(entry.uncompressed_size);
  info->internalAttributes = static_cast<uint32_t>(entry.internal_fa);
  info->externalAttributes = static_cast<uint32_t>(entry.external_fa);
  for (char* p = info->name; *p; ++p)
    if (*p == '/') *p = '\\';
  const size_t length = std::strlen(info->name);
  info->isFolder = length > 0 && info->name[length - 1] == '\\' ? 1 : 0;
  return 1;
}

// The folder, a separator, and the entry's name (only its last part when flattened), or false
// when the name is unsafe, was cut by the name buffer, or the path would not fit.
bool ZipUnpacker::BuildTargetPath(const char* folder, const ZipEntryInfo& info, bool flatten,
                                  char* target) {
  unz_file_info64 entry;
  if (unzGetCurrentFileInfo64(Archive(archive_), &entry, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
    return false;
  if (entry.size_filename != std::strlen(info.name)) return false;  // cut short, or holds a NUL
  const char* name = info.name;
  if (flatten) {
    if (const char* last = std::strrchr(name, '\\')) name = last + 1;
  }
  if (!IsSafeRelativeName(name)) return false;
  const size_t folderLength = std::strlen(folder);
  const bool needsSeparator = folderLength == 0 || folder[folderLength - 1] != '/';
  const size_t length = folderLength + (needsSeparator ? 1 : 0) + std::strlen(name);
  if (length >= static_cast<size_t>(kTargetPathSize)) return false;
  char* out = target;
  std::memcpy(out, folder, folderLength);
  out += folderLength;
  if (needsSeparator) *out++ = '/';
  for (const char* p = name; *p; ++p) *out++ = *p == '\\' ? '/' : *p;
  *out = '\0';
  return true;
}

bool ZipUnpacker::CopyEntryData(int fd) {
  char buffer[kChunkSize];
  for (;;) {
    const int read = unzReadCurrentFile(Archive(archive_), buffer, kChunkSize);
    if (read == 0) return true;
    if (read < 0) return false;
    if (static_cast<uint64_t>(read) > inflateBudget_) return false;
    inflateBudget_ -= static_cast<uint64_t>(read);
    if (!WriteAll(fd, buffer, static_cast<size_t>(read))) return false;
  }
}

int ZipUnpacker::ExtractEntry(const char* folder, bool flatten) {
  if (!archive_) return 0;
  if (!folder) folder = defaultFolder_;
  if (!MakeFolderPath(folder)) return 0;
  ZipEntryInfo info;
  ReadEntryInfo(&info);
  if (info.isFolder) return 1;
  char target[kTargetPathSize];
  if (!BuildTargetPath(folder, info, flatten, target)) return 0;
  // minizip never inflates an entry beyond its stated size, so the stated size is checked first,
  // before anything is written; the copy counts again.
  unz_file_info64 entry;
  if (unzGetCurrentFileInfo64(Archive(archive_), &entry, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
      entry.uncompressed_size > inflateBudget_)
    return 0;
  if (!NoLinksBelow(folder, target) || !MakeParentFolders(target)) return 0;
  const int fd = CreateFileAnew(target);
  if (fd < 0) return 0;
  if (unzOpenCurrentFile(Archive(archive_)) != UNZ_OK) {
    close(fd);
    return 0;
  }
  bool ok = CopyEntryData(fd);
  if (close(fd) != 0) ok = false;
  // The CRC check shows only here.
  if (unzCloseCurrentFile(Archive(archive_)) != UNZ_OK) ok = false;
  if (ok) StampFileTime(target, info.dosDateTime);
  return ok ? 1 : 0;
}

int ZipUnpacker::ExtractAll(const char* folder, bool flatten) {
  if (!archive_ || !folder || CountEntries() == 0) return 0;
  if (!MakeFolderPath(folder) || !FirstEntry(nullptr)) return 0;
  for (;;) {
    if (!ExtractEntry(folder, flatten)) return 0;
    if (!NextEntry(nullptr)) return 1;
  }
}

int ZipUnpacker::UnpackArchive(const char* zipPath, const char* folder, bool flatten) {
  if (!Open(zipPath)) return 0;
  return ExtractAll(folder, flatten);
}

int ZipUnpacker::MakeFolderPath(const char* path) {
  if (!path || !*path) return 0;
  struct stat st;
  if (stat(path, &st) == 0) return S_ISDIR(st.st_mode) ? 1 : 0;
  const size_t length = std::strlen(path);
  char* parent = new (std::nothrow) char[length + 1];
  if (!parent) return 0;
  std::memcpy(parent, path, length + 1);
  char* last = std::strrchr(parent, '/');
  if (!last) {
    delete[] parent;
    return 1;
  }
  *last = '\0';
  // An empty part before the separator is the root, which is always there.
  const bool parentMade = parent[0] == '\0' || MakeFolderPath(parent);
  delete[] parent;
  if (!parentMade) return 0;
  return mkdir(path, 0777) == 0 ? 1 : 0;
}

int ZipUnpacker::MakeParentFolders(const char* filePath) {
  if (!filePath) return 0;
  const char* last = std::strrchr(filePath, '/');
  if (!last) return 0;
  const size_t length = static_cast<size_t>(last - filePath);
  char* parent = new (std::nothrow) char[length + 1];
  if (!parent) return 0;
  std::memcpy(parent, filePath, length);
  parent[length] = '\0';
  const int made = MakeFolderPath(parent);
  delete[] parent;
  return made;
}

// Linux keeps no settable creation time; the last-write time carries the entry's time.
int ZipUnpacker::StampFileTime(const char* filePath, uint32_t dosDateTime) {
  const int fd = open(filePath, O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return 0;
  struct stat st;
  if (fstat(fd, &st) != 0) {
    close(fd);
    return 0;
  }
  const uint32_t date = dosDateTime >> 16;
  const uint32_t time = dosDateTime & 0xffff;
  struct tm local = {};
  local.tm_year = static_cast<int>((date >> 9) + 1980 - 1900);
  local.tm_mon = static_cast<int>(((date >> 5) & 0x0f)) - 1;
  local.tm_mday = static_cast<int>(date & 0x1f);
  local.tm_hour = static_cast<int>(time >> 11);
  local.tm_min = static_cast<int>((time >> 5) & 0x3f);
  local.tm_sec = static_cast<int>((time & 0x1f) * 2);
  local.tm_isdst = -1;
  const time_t stamp = mktime(&local);
  bool ok = stamp != static_cast<time_t>(-1);
  if (ok) {
    struct timespec times[2];
    times[0] = st.st_atim;
    times[1].tv_sec = stamp;
    times[1].tv_nsec = 0;
    ok = futimens(fd, times) == 0;
  }
  if (close(fd) != 0) ok = false;
  return ok ? 1 : 0;
}
