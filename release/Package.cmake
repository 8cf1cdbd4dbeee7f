# cmake -DBUILD_DIR=build/win32 -DVERSION=1.2.3 -DOUT_DIR=dir [-DPROGRAM=exe] -P Package.cmake
#
# Packs the Windows release of a win32 build, the same bytes from the same inputs:
#   OUT_DIR/Zumbiko-Update-VERSION.zip  the program, its data and README.txt in one folder
#   OUT_DIR/Zumbiko-Update-VERSION.msi  the installer of ZumbikoUpdate.wxs
# The program is the build's unless PROGRAM names another (a signed copy); the data file is
# the sample's. Every packed file carries the build's source date (the commit's) and fixed
# permissions. The zip lists its files in a fixed order with no owner and no extra times.
# The installer's product code follows from the version, its package code from everything
# packed, and its own times from the source date.
cmake_minimum_required(VERSION 3.25)
foreach(input BUILD_DIR VERSION OUT_DIR)
  if(NOT DEFINED ${input})
    message(FATAL_ERROR "Package.cmake: ${input} not given")
  endif()
endforeach()
get_filename_component(BUILD_DIR "${BUILD_DIR}" ABSOLUTE)
get_filename_component(OUT_DIR "${OUT_DIR}" ABSOLUTE)
if(NOT DEFINED PROGRAM)
  set(PROGRAM "${BUILD_DIR}/app/Zumbiko Update.exe")
endif()
get_filename_component(PROGRAM "${PROGRAM}" ABSOLUTE)
get_filename_component(source_dir "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(data "${source_dir}/data/sample/Zumbiko Update.dat")
set(icon "${source_dir}/resources/ZumbikoUpdate.ico")
set(readme "${BUILD_DIR}/release/README.txt")
# "5.1 XP": the oldest Windows the program starts on, which the installer insists on.
file(STRINGS "${BUILD_DIR}/release/oldest-windows" oldest LIMIT_COUNT 1)
if(NOT oldest MATCHES "^([0-9]+)\\.([0-9]+) (.+)$")
  message(FATAL_ERROR "Package.cmake: no oldest Windows in ${BUILD_DIR}/release/oldest-windows")
endif()
math(EXPR oldest_version_nt "${CMAKE_MATCH_1} * 100 + ${CMAKE_MATCH_2}")
set(oldest_name "Windows ${CMAKE_MATCH_3}")

# Never change it: Windows knows every release as an upgrade of the one before by it.
set(upgrade_code "A3C721E3-7722-4A99-ADFB-10EF325123B9")
set(wxs "${CMAKE_CURRENT_LIST_DIR}/ZumbikoUpdate.wxs")
set(name "Zumbiko-Update-${VERSION}")
# Commands below run here.
set(work "${OUT_DIR}/${name}.parts")

file(STRINGS "${BUILD_DIR}/source-date-epoch" epoch LIMIT_COUNT 1)
set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
string(TIMESTAMP when "%Y-%m-%d %H:%M:%S" UTC)
# zip and the installer's cabinet store local times.
set(ENV{TZ} UTC)

# Quiet unless it fails: wixl says "unimplemented" of every shortcut that is not advertised.
function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${work}" RESULT_VARIABLE rc
                  OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(NOT rc EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "${command}: ${rc}\n${said}")
  endif()
endfunction()

# The folder a user sees, in the order it is packed.
set(folder "Zumbiko Update")
set(packed "${folder}/README.txt" "${folder}/Zumbiko Update.dat" "${folder}/Zumbiko Update.exe")
set(sources "${readme}" "${data}" "${PROGRAM}")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${OUT_DIR}")
file(MAKE_DIRECTORY "${work}/${folder}")
foreach(source target IN ZIP_LISTS sources packed)
  file(COPY_FILE "${source}" "${work}/${target}")
  file(CHMOD "${work}/${target}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
run(touch -d "@${epoch}" ${packed} "${folder}")

set(zip "${OUT_DIR}/${name}.zip")
file(REMOVE "${zip}")
run(zip -q -X -D "${zip}" ${packed})

set(hashes "")
foreach(input IN ITEMS "${wxs}" "${icon}" "${data}" "${PROGRAM}")
  file(SHA256 "${input}" hash)
  string(APPEND hashes " ${hash}")
endforeach()
string(UUID product_code NAMESPACE "${upgrade_code}" NAME "product ${VERSION}" TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE "${upgrade_code}" NAME "package ${VERSION}${hashes}"
       TYPE SHA1 UPPER)
set(msi "${OUT_DIR}/${name}.msi")
file(REMOVE "${msi}")
# wixl finds files only by paths relative to where it runs.
file(COPY_FILE "${icon}" "${work}/ZumbikoUpdate.ico")
# wixl stamps the package with the clock's time and a random package code: the clock is
# stopped at the commit's time, and the code is replaced.
run(faketime -f "${when}" wixl --arch x86 --output "${msi}"
    -D "Version=${VERSION}" -D "ProductCode=${product_code}" -D "UpgradeCode=${upgrade_code}"
    -D "OldestVersionNT=${oldest_version_nt}" -D "OldestWindows=${oldest_name}"
    -D "Program=${folder}/Zumbiko Update.exe" -D "Data=${folder}/Zumbiko Update.dat"
    -D "Icon=ZumbikoUpdate.ico" "${wxs}")
run(msibuild "${msi}" -s "Zumbiko Update" "Zumbiko" "Intel\\;1033" "{${package_code}}")
file(REMOVE_RECURSE "${work}")
