#include "app/directories.h"

namespace {

constexpr char16_t kPathSection[] = u"Path";
constexpr char16_t kDataFolderName[] = u"pelun data\\";
constexpr char16_t kTempFolderName[] = u"pelun temporary\\";
// A longer temporary path than this would not fit the platform's classic path buffers.
constexpr size_t kMaxTempPathChars = 259;

Text WithTrailingBackslash(TextView path) {
  Text result(path);
  if (!result.empty() && result.back() != u'\\') result.push_back(u'\\');
  return result;
}

// "C:..." or "\..." (root or network share); "/" counts as well.
bool IsAbsolutePath(TextView path) {
  return (path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == u':') ||
         (!path.empty() && (path[0] == u'\\' || path[0] == u'/'));
}

Text DataBase(const IProfile& defineIni, const PlatformFolders& folders) {
  if (defineIni.ReadInt(kPathSection, u"DataLocal", 0) != 1) return folders.documentsFolder;
  const Text setting = defineIni.ReadString(kPathSection, u"DataPath", u"");
  TextView dataPath = Trim(setting);
  if (dataPath.empty()) return folders.programDirectory;
  // A relative path is taken from the program's folder, not from whatever folder the program
  // happened to be started in, so that the data is found again on the next start.
  if (!IsAbsolutePath(dataPath)) return folders.programDirectory + Text(dataPath);
  return Text(dataPath);
}

Text TempBase(const IProfile& defineIni, const PlatformFolders& folders) {
  if (defineIni.ReadInt(kPathSection, u"TempLocal", 0) == 1) return folders.programDirectory;
  if (folders.systemTemp.size() > kMaxTempPathChars) return Text();
  return folders.systemTemp;
}

}  // namespace

AppDirectories SettleDirectories(const IProfile& defineIni, const PlatformFolders& folders) {
  return {WithTrailingBackslash(DataBase(defineIni, folders)) + kDataFolderName,
          WithTrailingBackslash(TempBase(defineIni, folders)) + kTempFolderName,
          folders.programDirectory};
}

Text FromProgramDirectory(TextView path, const Text& programDirectory) {
  return IsAbsolutePath(path) ? Text(path) : programDirectory + Text(path);
}

Text DirectoryOfFile(TextView filePath) {
  size_t slash = filePath.rfind(u'\\');
  return slash == TextView::npos ? Text() : Text(filePath.substr(0, slash + 1));
}
