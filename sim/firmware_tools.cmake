# Synthetic firmware for tests and the demo (included from sim/CMakeLists.txt).
find_path(CLI11_INCLUDE_DIR CLI/CLI.hpp REQUIRED)

add_library(kt9testfirmware STATIC ${CMAKE_CURRENT_LIST_DIR}/test_firmware.cpp)
target_link_libraries(kt9testfirmware PUBLIC kt9core)

add_executable(kt9-mkhex ${CMAKE_CURRENT_LIST_DIR}/make_test_firmware.cpp)
target_include_directories(kt9-mkhex SYSTEM PRIVATE ${CLI11_INCLUDE_DIR})
target_link_libraries(kt9-mkhex PRIVATE kt9testfirmware)

# The bundled demo firmware, beside the programs where the update page looks
# for *.hex files. It is synthetic: no real firmware is shipped or needed.
set(KT9_DEMO_FIRMWARE "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/KT-9 V2.4.hex")
add_custom_command(
  OUTPUT "${KT9_DEMO_FIRMWARE}"
  COMMAND kt9-mkhex --out "${KT9_DEMO_FIRMWARE}"
  DEPENDS kt9-mkhex
  COMMENT "Writing the demo firmware file KT-9 V2.4.hex"
  VERBATIM)
add_custom_target(kt9-demo-firmware ALL DEPENDS "${KT9_DEMO_FIRMWARE}")
