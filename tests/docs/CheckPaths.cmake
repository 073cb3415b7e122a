# Every path ARCHITECTURE.md and README.md name exists: each relative link target, and
# each path in backquotes that starts with one of the repository's own folders.
#
# cmake -DSOURCE=<repository> -P CheckPaths.cmake

cmake_minimum_required(VERSION 3.25)

set(folders src tests bench fuzz scripts desktop docs samples .ci)
set(faults "")
set(checked 0)
foreach(page ARCHITECTURE.md README.md)
  if(NOT EXISTS ${SOURCE}/${page})
    string(APPEND faults "\n  ${page} is missing")
    continue()
  endif()
  file(READ ${SOURCE}/${page} text)
  # Square brackets would hold a CMake list together: links become @(target).
  string(REPLACE "](" "@(" text "${text}")
  string(REPLACE "[" "" text "${text}")
  string(REPLACE "]" "" text "${text}")
  string(REPLACE ";" "," text "${text}")
  set(paths "")
  # Links: ](target), anchors and web addresses left out.
  string(REGEX MATCHALL "@\\([^)#]+[)#]" links "${text}")
  foreach(link IN LISTS links)
    string(REGEX REPLACE "^@\\(([^)#]+)[)#]$" "\\1" target "${link}")
    if(NOT target MATCHES "^[a-z]+:")
      list(APPEND paths "${target}")
    endif()
  endforeach()
  # Code spans that start with a folder of the repository; patterns and placeholders
  # (*, <name>, NAME) and commands with arguments are left out.
  string(REGEX MATCHALL "`[^`\n]+`" spans "${text}")
  foreach(span IN LISTS spans)
    string(REGEX REPLACE "^`(.*)`$" "\\1" span "${span}")
    string(REGEX REPLACE "^\\./" "" span "${span}")
    if(span MATCHES "[ *<>$~]" OR span MATCHES "(^|/)[A-Z]+(/|$)")
      continue()
    endif()
    string(REGEX MATCH "^[^/]+" first "${span}")
    if(span MATCHES "/" AND first IN_LIST folders)
      list(APPEND paths "${span}")
    endif()
  endforeach()
  foreach(path IN LISTS paths)
    math(EXPR checked "${checked} + 1")
    if(NOT EXISTS ${SOURCE}/${path})
      string(APPEND faults "\n  ${page} names ${path}, which does not exist")
    endif()
  endforeach()
endforeach()

if(checked LESS 20)
  string(APPEND faults "\n  only ${checked} paths found: the pages' format is no longer understood")
endif()
if(faults)
  message(FATAL_ERROR "Paths the documentation names are wrong:${faults}")
endif()
message(STATUS "${checked} paths named by the documentation exist.")
