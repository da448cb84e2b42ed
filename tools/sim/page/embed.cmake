# Writes OUTPUT, a C++ source that holds each of the page's files as a raw string literal:
# the request path that names it, its media type and its file beside this script.
set(ASSETS "/index.html|text/html|index.html" "/page.css|text/css|page.css"
           "/page.js|text/javascript|page.js" "/drawing.css|text/css|drawing.css"
           "/drawing.js|text/javascript|drawing.js"
           "/drawing_apps.js|text/javascript|drawing_apps.js"
           "/page_server.js|text/javascript|page_server.js"
           "/page_controls.js|text/javascript|page_controls.js"
           "/page_preview.js|text/javascript|page_preview.js"
           "/page_actions.js|text/javascript|page_actions.js")
set(body "// Made by tools/sim/page/embed.cmake from the files of tools/sim/page.\n")
string(APPEND body "#include \"tools/sim/serve/page_assets.h\"\n\nnamespace vorla::sim {\n")
string(APPEND body "namespace {\nconstexpr PageAsset kAssets[] = {\n")
foreach(asset IN LISTS ASSETS)
  string(REPLACE "|" ";" parts "${asset}")
  list(GET parts 0 path)
  list(GET parts 1 type)
  list(GET parts 2 file)
  file(READ "${CMAKE_CURRENT_LIST_DIR}/${file}" content)
  string(FIND "${content}" ")vorla_page\"" clash)
  if(NOT clash EQUAL -1)
    message(FATAL_ERROR "${file} holds the literal's end marker")
  endif()
  string(APPEND body "    {\"${path}\", \"${type}\", R\"vorla_page(${content})vorla_page\"},\n")
endforeach()
string(APPEND body "};\n}  // namespace\n\n")
string(APPEND body "std::span<const PageAsset> pageAssets() { return kAssets; }\n\n")
string(APPEND body "}  // namespace vorla::sim\n")
file(WRITE "${OUTPUT}.new" "${body}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
