#pragma once

// An entry's picture path as a vCard's PHOTO, a file URI, and back: the path
// of this computer ("/home/anna/a.jpg" as file:///home/anna/a.jpg) and the
// Windows paths of the earlier releases' books ("C:\Pictures\a.jpg" as
// file:///C:/Pictures/a.jpg, "\\server\share\a.jpg" as
// file://server/share/a.jpg), each read back as exactly the path it was.

#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// The file URI of `path`, or empty for a path that is not absolute (a
// relative one has no URI; the export keeps it in a property of its own).
std::string pictureUri(std::string_view path);

// The path a `file:` URI names, or nothing, with `why` in words: a URI of
// another kind, one that is not absolute, one that names a folder, or one
// whose path holds a control character.
std::optional<std::string> picturePathOfUri(std::string_view uri, std::string& why);

}  // namespace corvane
