#pragma once

#include <string>
#include <vector>

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Names in the folder, sorted; symbolic links are listed, not followed.
std::vector<std::string> ListFolder(const std::string& folder);
std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);
