#include <gtest/gtest.h>
#include "AfxCore.h"

// Outside any anonymous namespace: each class's GetRuntimeClass is virtual
// and reached only through the vtable.
class CShape : public CObject {
    DECLARE_DYNAMIC(CShape)
};
class CCircle : public CShape {
    DECLARE_DYNAMIC(CCircle)
};
class CSquare : public CShape {
    DECLARE_DYNAMIC(CSquare)
};

IMPLEMENT_DYNAMIC(CShape, CObject)
IMPLEMENT_DYNAMIC(CCircle, CShape)
IMPLEMENT_DYNAMIC(CSquare, CShape)

TEST(AfxObject, IsKindOfFollowsTheBaseChainOnly)
{
    CCircle circle;
    const CObject& obj = circle;
    EXPECT_STREQ("CCircle", obj.GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(obj.IsKindOf(RUNTIME_CLASS(CCircle)));
    EXPECT_TRUE(obj.IsKindOf(RUNTIME_CLASS(CShape)));
    EXPECT_TRUE(obj.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(obj.IsKindOf(RUNTIME_CLASS(CSquare)));
    EXPECT_FALSE(obj.IsKindOf(NULL));
    EXPECT_STREQ("CShape", RUNTIME_CLASS(CCircle)->m_pBaseClass->m_lpszClassName);
}
