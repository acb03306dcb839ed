# Each folder of a layer is one static library: every .cpp in the folder
# belongs to it, and ARGN names the libraries it builds on.
function(tidewell_library name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# A test program for one folder of tests/: every .cpp in it, linked with
# GoogleTest and the libraries named in ARGN.
function(tidewell_test_suite name)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    TIDEWELL_TEST_PEERS="${PROJECT_SOURCE_DIR}/tests/peers"
    TIDEWELL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
endfunction()

# Adds every direct subfolder of `folder` that has a CMakeLists.txt.
function(tidewell_add_subfolders folder)
  file(GLOB children RELATIVE ${folder} ${folder}/*)
  list(SORT children)
  foreach(child ${children})
    if(EXISTS ${folder}/${child}/CMakeLists.txt)
      add_subdirectory(${folder}/${child})
    endif()
  endforeach()
endfunction()

# The Qt headers every window library includes, precompiled once per target:
# parsing them dominates the compile time of a small Qt source file.
function(tidewell_qt_precompiled_headers target)
  target_precompile_headers(${target} PRIVATE
    <QtCore/QObject> <QtCore/QString> <QtCore/QPointer> <QtGui/QIcon> <QtGui/QImage>
    <QtWidgets/QWidget> <QtWidgets/QApplication> <QtWidgets/QGridLayout>
    <QtWidgets/QLabel> <QtWidgets/QPushButton> <QtWidgets/QLineEdit> <QtWidgets/QComboBox>)
endfunction()
