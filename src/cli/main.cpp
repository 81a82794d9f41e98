#include "cli/cli.h"
#include "store/atomicfile.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <iostream>
#include <new>

// Nothing may end the program with an uncaught exception: a last-resort message, exit 1.
int main(int argc, char **argv)
{
    // Standard output through the streams' own buffer rather than a call into stdio for every
    // piece written; nothing here writes to it through stdio.
    std::ios::sync_with_stdio(false);
    // Past a file size limit a write fails with EFBIG and is reported, rather than the signal
    // ending the program without a word and leaving a temporary file behind.
    std::signal(SIGXFSZ, SIG_IGN);
    // Interrupted or stopped, it leaves no half-written temporary file of an output behind.
    loto6::removeTemporaryFilesOnSignals();
    try {
        return loto6::cli::run(argc, argv, std::cout, std::cerr);
    } catch (const std::bad_alloc &) {
        std::fputs("loto6zumvel-cli: out of memory; nothing more was written\n", stderr);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "loto6zumvel-cli: stopped by an unexpected error: %s\n", e.what());
    } catch (...) {
        std::fputs("loto6zumvel-cli: stopped by an unexpected error\n", stderr);
    }
    return 1;
}
