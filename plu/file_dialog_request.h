#pragma once
// The file dialogs of the "PLU" page: a filter, a default extension, and the
// current folder to start in.

#include "link/user_interface.h"

#include <filesystem>
#include <string>

// `pattern` in capitals ("*.TXT"): the dialog adds the lower-case one where
// names are case-sensitive.
inline FileDialogRequest fileDialogInCurrentFolder(std::string description, std::string pattern,
                                                   std::string defaultSuffix) {
    FileDialogRequest request;
    request.filterDescription = std::move(description);
    request.pattern = std::move(pattern);
    request.defaultSuffix = std::move(defaultSuffix);
    std::error_code error;
    request.startFolder = std::filesystem::current_path(error).string();
    return request;
}
