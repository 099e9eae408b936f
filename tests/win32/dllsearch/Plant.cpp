// A DLL that a program would load by its bare name if it lay beside the program: it only tells that it
// was loaded.

extern "C" __declspec(dllexport) int Planted() {
    return 42;
}
