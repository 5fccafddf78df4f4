#pragma once

class CMesh;
class CObjFileBuffer;

// The common statements of an OBJ file read straight from the characters
// that the file's buffer holds, without the stream: "v", "vn" and "vt" with
// plain decimal numbers (an optional minus, digits, an optional point and
// digits) and "f" with plain indices. A reading either adds to the mesh
// exactly what CObjMeshParser's stream reading adds and steps past the
// statement, or consumes nothing and leaves the statement to the stream:
// another keyword, another form of number, a statement whose reading would
// run past the buffered characters. Only static members.
class CObjDirectReader {
public:
    // Skips white space and comment lines. True when it stopped at the first
    // character of a statement; false when the buffered characters ran out
    // first, with what could be skipped skipped.
    static bool skipCommentLines(CObjFileBuffer& buffer);
    // Reads the statement at the buffer's position; false, reading nothing,
    // when it is left to the stream.
    static bool readStatement(CMesh& mesh, CObjFileBuffer& buffer);
};
