# Checks that every project include of the program's folders names its header
# from the top of the source tree ("core/engine/Node.h"). The layers decide what a
# file may include through their include roots; a bare or relative name
# ("Node.h", "../frame/CCalcMainFrame.h") would be found next to the file
# instead, whatever its layer, and slip past them.
#
#   cmake -DSOURCE_DIR=<top of the tree> -P scripts/check-includes.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(folders core desktop cli fuzz tools)
set(violations "")
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(file IN LISTS files)
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" included "${line}")
      set(rooted FALSE)
      foreach(top IN LISTS folders)
        if(included MATCHES "^${top}/")
          set(rooted TRUE)
        endif()
      endforeach()
      if(NOT rooted OR included MATCHES "(^|/)\\.\\.?/" OR NOT EXISTS ${SOURCE_DIR}/${included})
        string(APPEND violations "  ${file}: \"${included}\"\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes that do not name a header from the top of the source tree:\n${violations}")
endif()
message(STATUS "Every project include is rooted at the top of the source tree")
