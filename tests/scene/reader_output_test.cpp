// Progress lines against the stream's own write, whatever the state of the
// standard output: what arrives, the stream's state and the flushes.
#include "scene/reader_output.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

namespace {

// Keeps what it is given up to a limit, and counts the flushes.
class LimitedBuffer : public std::stringbuf {
public:
    explicit LimitedBuffer(std::size_t limit) : m_limit(limit) {}
    int syncs = 0;

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        const auto room = static_cast<std::streamsize>(m_limit - std::min(m_limit, str().size()));
        return std::stringbuf::xsputn(text, std::min(count, room));
    }
    int sync() override {
        ++syncs;
        return 0;
    }

private:
    std::size_t m_limit;
};

struct Outcome {
    std::string text;
    std::ios::iostate state;
    int syncs;
    int tiedSyncs;
};

enum class StreamSetup { Plain, Failed, Short, Tied, Unitbuf, Throwing };

// Writes "parsed 1.5\n" to std::cout set up as given, by write or by a line.
Outcome outcome(StreamSetup setup, bool byLine) {
    LimitedBuffer buffer(setup == StreamSetup::Short ? 4 : 1000);
    LimitedBuffer tiedBuffer(1000);
    std::ostream tied(&tiedBuffer);
    std::streambuf* const saved = std::cout.rdbuf(&buffer);
    if (setup == StreamSetup::Failed) {
        std::cout.setstate(std::ios::failbit);
    } else if (setup == StreamSetup::Tied) {
        std::cout.tie(&tied);
    } else if (setup == StreamSetup::Unitbuf) {
        std::cout << std::unitbuf;
    } else if (setup == StreamSetup::Throwing) {
        std::cout.exceptions(std::ios::badbit);
    }
    try {
        if (byLine) {
            (OutputLine() << "parsed " << 1.5).print();
        } else {
            std::cout.write("parsed 1.5\n", 11);
        }
    } catch (const std::ios::failure&) {
        std::cout.clear(std::cout.rdstate() | std::ios::failbit);  // marks the throw
    }
    Outcome result{buffer.str(), std::cout.rdstate(), buffer.syncs, tiedBuffer.syncs};
    std::cout.exceptions(std::ios::goodbit);
    std::cout.tie(nullptr);
    std::cout << std::nounitbuf;
    std::cout.clear();
    std::cout.rdbuf(saved);
    return result;
}

}  // namespace

TEST(OutputLine, WritesAsTheStreamWritesWhateverItsState) {
    for (const StreamSetup setup : {StreamSetup::Plain, StreamSetup::Failed, StreamSetup::Short, StreamSetup::Tied,
                              StreamSetup::Unitbuf, StreamSetup::Throwing}) {
        const Outcome line = outcome(setup, true);
        const Outcome write = outcome(setup, false);
        EXPECT_EQ(line.text, write.text) << static_cast<int>(setup);
        EXPECT_EQ(line.state, write.state) << static_cast<int>(setup);
        EXPECT_EQ(line.syncs, write.syncs) << static_cast<int>(setup);
        EXPECT_EQ(line.tiedSyncs, write.tiedSyncs) << static_cast<int>(setup);
    }
    EXPECT_EQ(outcome(StreamSetup::Plain, true).text, "parsed 1.5\n");
    EXPECT_EQ(outcome(StreamSetup::Short, true).state, std::ios::badbit);
}

TEST(HeldOutput, PassesOnWhatIsHeldButTakesBackTheRest) {
    std::ostringstream out;
    {
        HeldOutput held(out);
        out << "kept\n";
        const std::size_t mark = held.mark();
        out << std::string(200000, 'x');  // grows the store past a block
        held.takeBack(mark);
        out << "after\n";
        held.passOnIfLarge();
        EXPECT_EQ(out.str(), "");  // still held: less than a block
        out << std::string(70000, 'y');
        held.passOnIfLarge();
        EXPECT_EQ(out.str().size(), 5 + 6 + 70000u);
        out << "end\n";
    }
    EXPECT_EQ(out.str(), "kept\nafter\n" + std::string(70000, 'y') + "end\n");
    EXPECT_TRUE(out.good());
}
