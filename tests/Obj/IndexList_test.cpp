#include "Obj/IndexList.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// The list against a std::vector<int> given the same operations: the same
// indices and the same capacity, which the mesh's logged byte figures count.
void expectLike(const CIndexList& list, const std::vector<int>& vector, int step) {
    ASSERT_EQ(list.size(), vector.size()) << "step " << step;
    ASSERT_EQ(list.capacity(), vector.capacity()) << "step " << step;
    ASSERT_TRUE(list == vector) << "step " << step;
}

}  // namespace

TEST(IndexList, GrowsAndShrinksAsAVector) {
    CIndexList list;
    std::vector<int> vector;
    list.reserve(3);
    vector.reserve(3);
    expectLike(list, vector, 0);
    // Past the inside room (four) and back: 3 -> 6 -> 12 -> 24.
    for (int i = 0; i < 20; ++i) {
        list.push_back(i * 7 - 3);
        vector.push_back(i * 7 - 3);
        expectLike(list, vector, i + 1);
    }
    for (int i = 0; i < 17; ++i) {
        list.pop_back();
        vector.pop_back();
    }
    expectLike(list, vector, 100);
    list.shrink_to_fit();
    vector.shrink_to_fit();
    expectLike(list, vector, 101);
    list.assign(3, 9);
    vector.assign(3, 9);
    expectLike(list, vector, 102);
    list.assign(5, 8);
    vector.assign(5, 8);
    expectLike(list, vector, 103);
    list.clear();
    vector.clear();
    expectLike(list, vector, 104);

    // From nothing the capacity doubles from one.
    CIndexList fresh;
    std::vector<int> freshVector;
    for (int i = 0; i < 9; ++i) {
        fresh.push_back(i);
        freshVector.push_back(i);
        expectLike(fresh, freshVector, 200 + i);
    }
}

TEST(IndexList, CopiesHoldTheirSizeAndMovesTakeTheCapacity) {
    for (const int count : {0, 2, 4, 5, 10}) {
        CIndexList list;
        std::vector<int> vector;
        list.reserve(3);
        vector.reserve(3);
        for (int i = 0; i < count; ++i) {
            list.push_back(i + 1);
            vector.push_back(i + 1);
        }
        SCOPED_TRACE(count);
        CIndexList copy(list);
        std::vector<int> vectorCopy(vector);
        expectLike(copy, vectorCopy, 0);

        // Assignment keeps storage that is large enough.
        CIndexList big;
        std::vector<int> bigVector;
        big.assign(8, -1);
        bigVector.assign(8, -1);
        big = list;
        bigVector = vector;
        expectLike(big, bigVector, 1);
        CIndexList small;
        std::vector<int> smallVector;
        small.push_back(7);
        smallVector.push_back(7);
        small = list;
        smallVector = vector;
        expectLike(small, smallVector, 2);

        CIndexList moved(std::move(copy));
        std::vector<int> movedVector(std::move(vectorCopy));
        expectLike(moved, movedVector, 3);
        expectLike(copy, vectorCopy, 4);  // NOLINT: moved from, empty
        small = std::move(moved);
        smallVector = std::move(movedVector);
        expectLike(small, smallVector, 5);

        // A swap exchanges contents wherever they are stored.
        big.assign(6, 3);
        bigVector.assign(6, 3);
        big.swap(small);
        bigVector.swap(smallVector);
        expectLike(big, bigVector, 6);
        expectLike(small, smallVector, 7);
        big = big;
        expectLike(big, bigVector, 8);
    }
}
