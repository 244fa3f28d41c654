// The whole code of the test programs: they exist for their resources and are never run.
extern "C" int start() { return 0; }
