#pragma once
// Path rules of the setup program on Linux. The procedures were designed for drive paths;
// here '/' is the only separator, the root "/" stands where a drive root stood and keeps
// its separator, and every other folder is written without a final '/'.

#include <string>
#include <string_view>

namespace platform {

// One final '/' removed, if there is one ("/A/B/" -> "/A/B"; "/" -> "").
std::string withoutFinalSeparator(std::string_view path);

// The path with exactly one final '/' ("/A/B" -> "/A/B/"; "/A/B//" -> "/A/B/").
std::string withFinalSeparator(std::string_view path);

// The folder part up to and including the last '/' ("/A/B.lnk" -> "/A/"; "B.lnk" -> "").
std::string folderPart(std::string_view path);

// The part after the last '/' ("/A/B.lnk" -> "B.lnk").
std::string fileNamePart(std::string_view path);

}  // namespace platform
