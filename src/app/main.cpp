#include "VexalApp.h"

int main(int argc, char** argv) { return vexal::RunVexal(argc, argv); }
