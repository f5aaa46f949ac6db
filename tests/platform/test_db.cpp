#include "platform/accessfuncs.h"
#include "platform/db.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace zdb;

TEST(DbLayer, OpenNeverCreatesAMissingFile)
{
    testsupport::Sandbox sb;
    Db db;
    EXPECT_THROW(db.open(sb.file("fehlt.mdb")), DbError);
    EXPECT_FALSE(QFileInfo::exists(sb.file("fehlt.mdb")));
}

TEST(DbLayer, LikeFoldsUmlautsAndAccessWildcards)
{
    testsupport::Sandbox sb;
    Db db;
    db.create(sb.file("t.db"));
    EXPECT_EQ(db.scalar("SELECT 'Özdemir' LIKE 'öz%'").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT AccLike('Müller', 'M?LL*')").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT AccLike('5a', '#[a-c]')").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT AccLike('5d', '#[!a-c]')").toInt(), 1);
    EXPECT_EQ(db.scalar("SELECT AccLike('5a', '#[!a-c]')").toInt(), 0);
}
