# cmake -DOUTPUT=FILE.cpp -DPAGE_DIR=DIR -P embed_page.cmake: the page's files as the C++ source of
# tablet::pageFiles(), each file's bytes escaped one by one, so that no text of a file can end
# or break the source.
set(files "index.html|/|text/html"
          "page.css|/page.css|text/css"
          "page.js|/page.js|text/javascript")
set(arrays "")
set(rows "")
set(index 0)
foreach(entry IN LISTS files)
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 path)
    list(GET parts 2 type)
    file(READ "${PAGE_DIR}/${name}" bytes HEX)
    string(LENGTH "${bytes}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" bytes "${bytes}")
    string(APPEND arrays "constexpr std::string_view kFile${index}{\"${bytes}\", ${size}};\n")
    string(APPEND rows "    PageFile{\"${path}\", \"${type}; charset=utf-8\", kFile${index}},\n")
    math(EXPR index "${index} + 1")
endforeach()
file(WRITE "${OUTPUT}.new" "// Made by tablet/embed_page.cmake from tablet/page/; not to be edited.
#include <array>
#include <string_view>

#include \"tablet/page_files.h\"

namespace brimwell::tablet {

namespace {
${arrays}
const std::array kFiles = {
${rows}};
}  // namespace

std::span<const PageFile> pageFiles() {
    return kFiles;
}

}  // namespace brimwell::tablet
")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
