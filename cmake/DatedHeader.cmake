# cmake -DEPOCH_FILE=... -DVERSION=1.2.3 -DTEMPLATE=... -DOUTPUT=... -P DatedHeader.cmake
# Configures TEMPLATE with the version's parts and the build date of EPOCH_FILE (UTC), as
# configure_file does: OUTPUT changes only when its text does.
file(STRINGS "${EPOCH_FILE}" epoch LIMIT_COUNT 1)
set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
string(TIMESTAMP ZUMBIKO_BUILD_DATE "%Y-%m-%d" UTC)
string(REPLACE "." ";" parts "${VERSION}")
list(GET parts 0 PROJECT_VERSION_MAJOR)
list(GET parts 1 PROJECT_VERSION_MINOR)
list(GET parts 2 PROJECT_VERSION_PATCH)
configure_file("${TEMPLATE}" "${OUTPUT}" @ONLY)
