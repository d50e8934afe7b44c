# OpenCV core and imgproc as one target, `opencv_core_imgproc`. Debian's per-module OpenCV packages ship headers and
# libraries but no CMake package file, so fall back to finding them directly.
find_package(OpenCV QUIET COMPONENTS core imgproc)
if(NOT OpenCV_FOUND)
  find_path(OpenCV_INCLUDE_DIRS opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
  find_library(OPENCV_CORE_LIBRARY opencv_core REQUIRED)
  find_library(OPENCV_IMGPROC_LIBRARY opencv_imgproc REQUIRED)
  set(OpenCV_LIBS ${OPENCV_CORE_LIBRARY} ${OPENCV_IMGPROC_LIBRARY})
endif()

add_library(opencv_core_imgproc INTERFACE)
target_include_directories(opencv_core_imgproc SYSTEM INTERFACE ${OpenCV_INCLUDE_DIRS})
target_link_libraries(opencv_core_imgproc INTERFACE ${OpenCV_LIBS})
