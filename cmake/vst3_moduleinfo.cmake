# cmake -DOUT=FILE -P vst3_moduleinfo.cmake: writes the VST 3 bundle's
# Contents/Resources/moduleinfo.json, what hosts read to list the plug-in
# without loading its binary, from the facts the factory is built from
# (cmake/vst3_facts.cmake). Snapshots name the editor captures the bundle
# carries beside it, at 100 % and 200 %.
include(${CMAKE_CURRENT_LIST_DIR}/vst3_facts.cmake)
quorvel_vst3_facts()

function(json_text out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()
function(json_bool out flags bit)
  math(EXPR set "${flags} & ${bit}")
  if(set GREATER 0)
    set(${out} true PARENT_SCOPE)
  else()
    set(${out} false PARENT_SCOPE)
  endif()
endfunction()

foreach(fact NAME VENDOR VERSION CID CATEGORY SDK_VERSION URL)
  json_text(${fact} "${QUORVEL_VST3_${fact}}")
endforeach()
json_text(EMAIL "")  # the factory gives none
string(REPLACE "|" ";" sub_list "${QUORVEL_VST3_SUB_CATEGORIES}")
set(subs "")
foreach(sub IN LISTS sub_list)
  json_text(sub "${sub}")
  list(APPEND subs "${sub}")
endforeach()
list(JOIN subs ", " subs)
# The factory flag bits: classes discardable 1, component non-discardable 8,
# Unicode 16.
json_bool(discardable ${QUORVEL_VST3_FACTORY_FLAGS} 1)
json_bool(non_discardable ${QUORVEL_VST3_FACTORY_FLAGS} 8)
json_bool(unicode ${QUORVEL_VST3_FACTORY_FLAGS} 16)
set(snapshot "Snapshots/${QUORVEL_VST3_CID}_snapshot")

file(WRITE ${OUT} "{
  \"Name\": ${NAME},
  \"Version\": ${VERSION},
  \"Factory Info\": {
    \"Vendor\": ${VENDOR},
    \"URL\": ${URL},
    \"E-Mail\": ${EMAIL},
    \"Flags\": {
      \"Unicode\": ${unicode},
      \"Classes Discardable\": ${discardable},
      \"Component Non Discardable\": ${non_discardable}
    }
  },
  \"Compatibility\": [],
  \"Classes\": [
    {
      \"CID\": ${CID},
      \"Category\": ${CATEGORY},
      \"Name\": ${NAME},
      \"Vendor\": ${VENDOR},
      \"Version\": ${VERSION},
      \"SDKVersion\": ${SDK_VERSION},
      \"Sub Categories\": [${subs}],
      \"Class Flags\": 0,
      \"Cardinality\": ${QUORVEL_VST3_CARDINALITY},
      \"Snapshots\": [
        {\"Scale Factor\": 1.0, \"Path\": \"${snapshot}.png\"},
        {\"Scale Factor\": 2.0, \"Path\": \"${snapshot}_2.0x.png\"}
      ]
    }
  ]
}
")
