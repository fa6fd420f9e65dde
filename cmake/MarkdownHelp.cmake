# Writes the user's help, an HTML page that opens with a double click, from
# the README's part for users, so that the two never tell different stories.
#   cmake -DIN=README.md -DOUT=help.html -DFROM="## heading" -DTO="### heading"
#         -DTITLE="..." -P MarkdownHelp.cmake
# FROM's heading starts the part, TO's ends it. What the README uses is
# converted: headings (with GitHub's anchors, for its own links), paragraphs,
# lists, tables, code blocks, `code`, **bold** and links; pictures are left
# out, as they are not installed.

file(READ "${IN}" text)
string(FIND "${text}" "\n${FROM}\n" start)
string(FIND "${text}" "\n${TO}\n" end)
if(start LESS 0 OR end LESS start)
  message(FATAL_ERROR "MarkdownHelp: no part from '${FROM}' to '${TO}' in ${IN}")
endif()
math(EXPR length "${end} - ${start}")
string(SUBSTRING "${text}" ${start} ${length} text)

# What CMake's lists would take apart (';', brackets, backslashes) stands in
# as tokens until the page is written, so that each line is one element.
string(REPLACE ";" "@@SC@@" text "${text}")
string(REPLACE "[" "@@LB@@" text "${text}")
string(REPLACE "]" "@@RB@@" text "${text}")
string(REPLACE "\\" "@@BS@@" text "${text}")
string(REPLACE "\r" "" text "${text}")
string(REPLACE "\n" ";" lines "${text}")

# inline(VAR): `code`, **bold** and [text](link) within a line.
macro(inline var)
  string(REGEX REPLACE "`([^`]*)`" "<code>\\1</code>" ${var} "${${var}}")
  string(REGEX REPLACE "\\*\\*([^*]+)\\*\\*" "<strong>\\1</strong>" ${var} "${${var}}")
  string(REGEX REPLACE "@@LB@@(([^@]|@[^@])*)@@RB@@\\(([^)]*)\\)" "<a href=\"\\3\">\\1</a>"
    ${var} "${${var}}")
endmacro()

set(html "")
set(block "")      # the open block: p, ul, ol, table, pre
set(item "")       # the list item being gathered
macro(close_item)
  if(NOT item STREQUAL "")
    inline(item)
    string(APPEND html "<li>${item}</li>\n")
    set(item "")
  endif()
endmacro()
macro(close_block)
  close_item()
  if(block STREQUAL "p")
    inline(paragraph)
    string(APPEND html "<p>${paragraph}</p>\n")
  elseif(block STREQUAL "ul" OR block STREQUAL "ol" OR block STREQUAL "table")
    string(APPEND html "</${block}>\n")
  endif()
  set(block "")
  set(paragraph "")
endmacro()

foreach(line IN LISTS lines)
  string(REPLACE "&" "&amp;" line "${line}")
  string(REPLACE "<" "&lt;" line "${line}")
  string(REPLACE ">" "&gt;" line "${line}")
  if(block STREQUAL "pre")
    if(line MATCHES "^```")
      string(APPEND html "</pre>\n")
      set(block "")
    else()
      string(APPEND html "${line}\n")
    endif()
    continue()
  endif()
  if(line MATCHES "^```")
    close_block()
    string(APPEND html "<pre>")
    set(block "pre")
  elseif(line MATCHES "^(#+) (.*)$")
    # Taken before close_block, whose regular expressions set the matches anew.
    set(heading "${CMAKE_MATCH_2}")
    string(LENGTH "${CMAKE_MATCH_1}" level)
    close_block()
    # The README's levels from ## on; the page's title is h1.
    math(EXPR level "${level} - 1")
    if(level LESS 2)
      set(level 2)
    endif()
    # GitHub's anchor: lower case, spaces to hyphens, punctuation dropped.
    string(REGEX REPLACE "@@[A-Z]+@@|&[a-z]+;" "" anchor "${heading}")
    string(TOLOWER "${anchor}" anchor)
    string(REGEX REPLACE "[^a-z0-9 _-]" "" anchor "${anchor}")
    string(REPLACE " " "-" anchor "${anchor}")
    inline(heading)
    string(APPEND html "<h${level} id=\"${anchor}\">${heading}</h${level}>\n")
  elseif(line MATCHES "^!@@LB@@")
    close_block()
  elseif(line MATCHES "^\\|")
    if(NOT block STREQUAL "table")
      close_block()
      string(APPEND html "<table>\n")
      set(block "table")
      set(cell th)
    endif()
    if(line MATCHES "^\\|[-| :]+\\|$")
      set(cell td)
      continue()
    endif()
    string(REGEX REPLACE "^\\| *(.*[^ ]) *\\|$" "\\1" row "${line}")
    string(REGEX REPLACE " *\\| *" "</${cell}><${cell}>" row "${row}")
    inline(row)
    string(APPEND html "<tr><${cell}>${row}</${cell}></tr>\n")
  elseif(line MATCHES "^(- |[0-9]+\\. )(.*)$")
    set(first "${CMAKE_MATCH_2}")
    set(kind ul)
    if(CMAKE_MATCH_1 MATCHES "[0-9]")
      set(kind ol)
    endif()
    if(NOT block STREQUAL kind)
      close_block()
      string(APPEND html "<${kind}>\n")
      set(block ${kind})
    endif()
    close_item()
    set(item "${first}")
  elseif((block STREQUAL "ul" OR block STREQUAL "ol") AND line MATCHES "^ +([^ ].*)$")
    string(APPEND item " ${CMAKE_MATCH_1}")
  elseif(line STREQUAL "")
    close_block()
  else()
    if(NOT block STREQUAL "p")
      close_block()
      set(block "p")
      set(paragraph "${line}")
    else()
      string(APPEND paragraph " ${line}")
    endif()
  endif()
endforeach()
close_block()

string(REPLACE "@@SC@@" ";" html "${html}")
string(REPLACE "@@LB@@" "[" html "${html}")
string(REPLACE "@@RB@@" "]" html "${html}")
string(REPLACE "@@BS@@" "\\" html "${html}")
file(WRITE "${OUT}" "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<title>${TITLE}</title>
<style>
body { font-family: \"Segoe UI\", sans-serif; max-width: 52em; margin: 1em auto; padding: 0 1em; line-height: 1.45; }
code, pre { font-family: Consolas, monospace; background: #f3f3f3; }
pre { padding: .6em; overflow-x: auto; }
table { border-collapse: collapse; }
th, td { border: 1px solid #ccc; padding: .3em .5em; text-align: left; vertical-align: top; }
</style>
</head>
<body>
<h1>${TITLE}</h1>
${html}</body>
</html>
")
