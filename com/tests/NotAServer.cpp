// A loadable library that exports no server entry points.
extern "C" int NotAServerAnswer() {
    return 42;
}
