// Build check of the help file: every topic of the program's topic table must name a page of
// the compiled file, and that page must carry the topic's anchor. Lists what is missing and
// fails, so that a broken help topic stops the build.

#include <cstdio>
#include <string>

#include "platform/help/ChmArchive.h"
#include "platform/help/Help.h"
#include "shell/HelpTopics.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s Kestavo.chm\n", argv[0]);
        return 2;
    }
    ChmArchive archive;
    if (!archive.Open(argv[1])) {
        std::fprintf(stderr, "%s: cannot open the help file\n", argv[1]);
        return 1;
    }
    int problems = 0, topics = 0;
    for (const IdTextPair* topic = HelpTopics; topic->text; ++topic, ++topics) {
        const std::optional<HelpTarget> target =
            ParseHelpTarget(std::string(argv[1]) + topic->text);
        const std::optional<std::string> page = target ? archive.Read(target->page) : std::nullopt;
        const char* problem = !page ? "no such page"
                              : !HtmlHasAnchor(*page, target->anchor) ? "no such anchor" : nullptr;
        if (problem) {
            std::fprintf(stderr, "%s: help id %d, topic %s: %s\n", argv[1], topic->id, topic->text,
                         problem);
            ++problems;
        }
    }
    if (problems) return 1;
    std::printf("%s: all %d help topics resolve\n", argv[1], topics);
    return 0;
}
