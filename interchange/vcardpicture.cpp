#include "vcardpicture.h"

#include <cstdio>

#include "codepage.h"
#include "importparts.h"

namespace corvane {
namespace {

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// `text` percent-encoded, every byte but the unreserved ones; `separator`
// is written as "/" (the URI's own separator), a "/" that is no separator
// as "%2F".
void appendEncoded(std::string& uri, std::string_view text, char separator) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == separator) {
            uri += '/';
        } else if (isLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                   c == '~') {
            uri += c;
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            uri += hex;
        }
    }
}

}  // namespace

std::string pictureUri(std::string_view path) {
    std::string uri = "file://";
    if (path.starts_with('/')) {
        appendEncoded(uri, path, '/');
    } else if (path.size() >= 3 && isLetter(path[0]) && path[1] == ':' &&
               (path[2] == '\\' || path[2] == '/')) {
        uri += '/';
        uri += path.substr(0, 2);
        appendEncoded(uri, path.substr(2), '\\');
    } else if (path.starts_with("\\\\") && path.size() > 2 && path[2] != '\\') {
        const std::size_t share = path.find('\\', 2);
        appendEncoded(uri, path.substr(2, share == std::string_view::npos ? share : share - 2),
                      '\0');
        if (share != std::string_view::npos) {
            appendEncoded(uri, path.substr(share), '\\');
        }
    } else {
        return {};
    }
    return uri;
}

std::optional<std::string> picturePathOfUri(std::string_view uri, std::string& why) {
    if (!importing::startsWithNoCase(uri, "file:")) {
        why = "it is no file address";
        return std::nullopt;
    }
    std::string_view rest = uri.substr(5);
    std::string path;
    if (rest.starts_with("//")) {
        const std::size_t slash = rest.find('/', 2);
        const std::string_view host =
            rest.substr(2, slash == std::string_view::npos ? slash : slash - 2);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
        if (!host.empty() && importing::lower(host) != "localhost") {
            path = "\\\\" + importing::percentDecoded(host, '\\') +
                   importing::percentDecoded(rest, '\\');  // a Windows share
            rest = {};
        }
    } else if (!rest.starts_with('/')) {
        why = "it is no absolute file address";
        return std::nullopt;
    }
    // A drive letter: this computer's paths have their colons encoded.
    if (path.empty() && rest.size() >= 3 && isLetter(rest[1]) && rest[2] == ':') {
        path = std::string(rest.substr(1, 2)) +
               importing::percentDecoded(rest.substr(3), '\\');  // C:\...
    } else if (path.empty()) {
        path = importing::percentDecoded(rest, '/');
    }
    for (const char c : path) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            why = "its path holds a control character";
            return std::nullopt;
        }
    }
    if (path.empty() || path.back() == '/' || path.back() == '\\') {
        why = "it names a folder, not a file";
        return std::nullopt;
    }
    return importing::isUtf8(path) ? path : cp1252::decode(path);
}

}  // namespace corvane
