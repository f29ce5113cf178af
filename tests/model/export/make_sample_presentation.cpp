// Writes the sample presentation to the file named on the command line, for
// the command-line export check.

#include <iostream>

#include "model/export/SamplePresentation.h"
#include "model/stream/StrmPers.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_sample_presentation FILE\n";
        return 2;
    }
    try {
        pavilo::sample::TSamplePresentation doc(argv[1]);
        return pavilo::SaveDocument(argv[1], doc.File.get()) ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}
