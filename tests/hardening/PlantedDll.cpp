// A DLL that only has to exist: the hardening test plants it in the current directory.
extern "C" __declspec(dllexport) int PlantedMarker() {
    return 1;
}
