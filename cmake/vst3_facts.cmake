# quorvel_vst3_facts(): reads what the VST 3 factory tells hosts from the
# sources the factory itself is compiled from, so the bundle's description
# cannot say otherwise: name, vendor and version from engine/version.h, the
# class id, category, subcategories, SDK version, cardinality and factory
# flags from vst3/plugin_factory.cpp, the web page from gui/url_open.h. Sets
# QUORVEL_VST3_<FACT> in the caller's scope and QUORVEL_VST3_FACT_SOURCES to
# the files read. Stops with an error when a fact is not found, rather than
# describing the plug-in wrongly.
# quorvel_vst3_fact(OUT FILE REGEX [REPLACEMENT]): REPLACEMENT (default: the
# first group) of the one line of FILE that REGEX matches.
function(quorvel_vst3_fact out file regex)
  set(replacement "\\1")
  if(ARGC GREATER 3)
    set(replacement "${ARGV3}")
  endif()
  file(STRINGS ${file} lines REGEX "${regex}")
  list(LENGTH lines count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "${file}: expected one line matching ${regex}, found ${count}")
  endif()
  string(REGEX REPLACE ".*${regex}.*" "${replacement}" value "${lines}")
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

get_filename_component(QUORVEL_VST3_FACTS_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
function(quorvel_vst3_facts)
  set(root ${QUORVEL_VST3_FACTS_ROOT})
  set(version_h ${root}/engine/version.h)
  set(factory_cpp ${root}/vst3/plugin_factory.cpp)
  set(url_h ${root}/gui/url_open.h)
  quorvel_vst3_fact(name ${version_h} "#define QUORVEL_NAME \"([^\"]*)\"")
  quorvel_vst3_fact(vendor ${version_h} "#define QUORVEL_VENDOR \"([^\"]*)\"")
  foreach(part MAJOR MINOR PATCH)
    quorvel_vst3_fact(${part} ${version_h} "#define QUORVEL_VERSION_${part} ([0-9]+)")
  endforeach()
  set(hex "0x([0-9A-Fa-f]+)")
  quorvel_vst3_fact(words ${factory_cpp}
                    "kGateClassId = V3_ID\\(${hex}, ${hex}, ${hex}, ${hex}\\)" "\\1;\\2;\\3;\\4")
  quorvel_vst3_fact(category ${factory_cpp} "kCategory = \"([^\"]*)\"")
  quorvel_vst3_fact(sub_categories ${factory_cpp} "kSubCategories = \"([^\"]*)\"")
  quorvel_vst3_fact(sdk_version ${factory_cpp} "kSdkVersion = \"([^\"]*)\"")
  quorvel_vst3_fact(cardinality ${factory_cpp} "kManyInstances = (0x[0-9A-Fa-f]+|[0-9]+)")
  quorvel_vst3_fact(factory_flags ${factory_cpp} "kUnicodeFactory = (0x[0-9A-Fa-f]+|[0-9]+)")
  quorvel_vst3_fact(web_host ${url_h} "kWebHost = \"([^\"]*)\"")

  # The class id's text form: its four words, eight hex digits each.
  set(cid "")
  foreach(word IN LISTS words)
    string(LENGTH "${word}" length)
    if(NOT length EQUAL 8)
      message(FATAL_ERROR "${factory_cpp}: class id word 0x${word} is not eight digits")
    endif()
    string(TOUPPER "${word}" word)
    string(APPEND cid "${word}")
  endforeach()
  math(EXPR cardinality "${cardinality}")
  math(EXPR factory_flags "${factory_flags}")

  set(QUORVEL_VST3_NAME "${name}" PARENT_SCOPE)
  set(QUORVEL_VST3_VENDOR "${vendor}" PARENT_SCOPE)
  set(QUORVEL_VST3_VERSION "${MAJOR}.${MINOR}.${PATCH}" PARENT_SCOPE)
  set(QUORVEL_VST3_CID "${cid}" PARENT_SCOPE)
  set(QUORVEL_VST3_CATEGORY "${category}" PARENT_SCOPE)
  set(QUORVEL_VST3_SUB_CATEGORIES "${sub_categories}" PARENT_SCOPE)
  set(QUORVEL_VST3_SDK_VERSION "${sdk_version}" PARENT_SCOPE)
  set(QUORVEL_VST3_CARDINALITY "${cardinality}" PARENT_SCOPE)
  set(QUORVEL_VST3_FACTORY_FLAGS "${factory_flags}" PARENT_SCOPE)
  set(QUORVEL_VST3_URL "https://${web_host}" PARENT_SCOPE)
  set(QUORVEL_VST3_FACT_SOURCES ${version_h} ${factory_cpp} ${url_h} PARENT_SCOPE)
endfunction()
