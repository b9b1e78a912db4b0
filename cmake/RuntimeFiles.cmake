# Copies the data folders beside the program and joins the language texts
# of every subsystem (res/lang/*.sil) into the one language file res/signal-console.sil.
foreach(dir html res template layers help)
  if(EXISTS ${SRC}/${dir})
    file(COPY ${SRC}/${dir} DESTINATION ${DST} PATTERN "lang" EXCLUDE PATTERN "node_modules" EXCLUDE)
  else()
    file(MAKE_DIRECTORY ${DST}/${dir})
  endif()
endforeach()
file(GLOB parts ${SRC}/res/lang/*.sil)
list(SORT parts)
set(text "")
foreach(part ${parts})
  file(READ ${part} chunk)
  string(APPEND text "${chunk}\n")
endforeach()
set(out ${DST}/res/signal-console.sil)
if(EXISTS ${out})
  file(READ ${out} old)
else()
  set(old "")
endif()
if(NOT old STREQUAL text)
  file(WRITE ${out} "${text}")
endif()

# Browser libraries of the map pages: installed from the npm registry into
# html/node_modules (pinned by html/package-lock.json, `npm ci` in scripts/build)
# and copied beside the pages as html/vendor/<name>.
set(vendor_src ${SRC}/html/node_modules)
set(vendor_dst ${DST}/html/vendor)
set(vendor_map
  "leaflet/dist|leaflet"
  "leaflet.awesome-markers/dist|awesome-markers"
  "font-awesome/css|font-awesome/css"
  "font-awesome/fonts|font-awesome/fonts"
  "jquery/dist/jquery.min.js|jquery"
  "@turf/turf/turf.min.js|turf"
  "leaflet-easybutton/src|easybutton"
  "leaflet-minimap/dist|minimap")
# Without them the map pages do not work, so a missing or incomplete
# html/node_modules stops the build.
set(missing "")
foreach(entry ${vendor_map})
  string(REPLACE "|" ";" pair "${entry}")
  list(GET pair 0 from)
  set(found FALSE)
  if(IS_DIRECTORY ${vendor_src}/${from})
    file(GLOB_RECURSE content LIST_DIRECTORIES false ${vendor_src}/${from}/*)
    if(content)
      set(found TRUE)
    endif()
  elseif(EXISTS ${vendor_src}/${from})
    set(found TRUE)
  endif()
  if(NOT found)
    string(APPEND missing "\n  html/node_modules/${from}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "The map pages' libraries are missing:${missing}\n"
                      "Install them with `npm ci` in ${SRC}/html (pinned by html/package-lock.json).")
endif()
foreach(entry ${vendor_map})
  string(REPLACE "|" ";" pair "${entry}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  if(IS_DIRECTORY ${vendor_src}/${from})
    file(COPY ${vendor_src}/${from}/ DESTINATION ${vendor_dst}/${to})
  else()
    file(COPY ${vendor_src}/${from} DESTINATION ${vendor_dst}/${to})
  endif()
endforeach()
