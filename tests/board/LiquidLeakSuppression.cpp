// liquid-dsp 1.5 leaks a small search object each time it designs certain filters (the
// resamplers'); that is the library's, not ours, so the leak checker is told to pass over it.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libliquid.so\n";
}
