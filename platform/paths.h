#pragma once
// Path rules of the setup program on Linux. The procedures were designed for drive paths;
// here '/' is the only separator, the root "/" stands where a drive root stood and keeps
// its separator, and every other folder is written without a final '/'.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One final '/' removed, if there is one ("/A/B/" -> "/A/B"; "/" -> "").
std::string withoutFinalSeparator(std::string_view path);

// The path with exactly one final '/' ("/A/B" -> "/A/B/"; "/A/B//" -> "/A/B/").
std::string withFinalSeparator(std::string_view path);

// The folder part up to and including the last '/' ("/A/B.lnk" -> "/A/"; "B.lnk" -> "").
std::string folderPart(std::string_view path);

// The part after the last '/' ("/A/B.lnk" -> "B.lnk").
std::string fileNamePart(std::string_view path);

// The names of a path, without empty and "." parts; ".." stays a name of its own
// ("/a//./b/../c/" -> a, b, .., c).
std::vector<std::string> pathComponents(std::string_view path);

// "." and ".." worked out on the text alone, for a path starting with '/': absolute, without
// a final '/' (the root is "/"); ".." above the root stays at the root ("/a/../../b" -> "/b").
std::string lexicallyNormal(std::string_view path);

// The folders above an absolute, normal path, nearest first ("/a/b" -> "/a", "/").
std::vector<std::string> ancestorsOf(const std::string& normalPath);

// True when a file name matches a mask by these rules: '*' any run of characters,
// '?' one character, letters case-blind (ASCII), nothing else special; a final ".*" also
// matches names without an extension, so "*.*" matches every name. An empty mask matches
// nothing.
bool maskMatches(std::string_view mask, std::string_view name);

}  // namespace platform
