#pragma once

// The page's files, compiled into the program from tablet/page/ (tablet/embed_page.cmake): the
// only files the tablet's server serves. No file of the disk is ever read for a browser.

#include <span>
#include <string_view>

namespace brimwell::tablet {

struct PageFile {
    std::string_view path;  // as requested: "/", "/page.css", "/page.js"
    std::string_view type;  // its Content-Type
    std::string_view body;
};

std::span<const PageFile> pageFiles();

}  // namespace brimwell::tablet
