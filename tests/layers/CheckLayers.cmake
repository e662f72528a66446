cmake_minimum_required(VERSION 3.25)
# Fails when a source file includes a header of a layer above its own. Each layer may include only
# itself and the layers below it:
#   link  <  engine  <  doc  <  ui  <  app
# The modem, the sound server's client (audio) and the rig stand beside the link, the modem knowing
# only the link's item bits; the sound-card station stands over them. The software board uses the
# core's two lowest layers, the audio and the modem; the build tools the core's two lowest layers
# only.
# Run as: cmake -DSOURCE_DIR=<tree> -P CheckLayers.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(allowed_link   link)
set(allowed_engine engine link)
set(allowed_doc    doc engine link)
set(allowed_ui     ui doc engine link audio rig)
set(allowed_app    app ui doc engine link station modem audio rig)
set(allowed_modem  modem link)
set(allowed_audio  audio)
set(allowed_rig    rig)
set(allowed_station station modem audio rig link)
set(allowed_board  board audio modem engine link)
set(allowed_tools  tools engine link)
set(layers link engine doc ui app modem audio rig station board tools)

set(violations "")
set(checked 0)
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
  foreach(source IN LISTS sources)
    math(EXPR checked "${checked} + 1")
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[A-Za-z_]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([A-Za-z_]+)/.*$" "\\1" target "${line}")
      if(NOT target IN_LIST allowed_${layer})
        file(RELATIVE_PATH shown "${SOURCE_DIR}" "${source}")
        string(APPEND violations "\n  ${shown}: ${line} (${layer} may include only: ${allowed_${layer}})")
      endif()
    endforeach()
  endforeach()
endforeach()

if(checked EQUAL 0)
  message(FATAL_ERROR "No sources found under ${SOURCE_DIR}")
endif()
if(violations)
  message(FATAL_ERROR "Includes against the layers:${violations}")
endif()
message(STATUS "${checked} files keep to their layers")
