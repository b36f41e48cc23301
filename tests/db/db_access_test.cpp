#include "db/db_access.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "db/db_manager.h"
#include "db_test_support.h"

namespace kanzo {
namespace {

class DbAccessTest : public ::testing::Test {
 protected:
  test::DbFixtureState state;
};

TEST_F(DbAccessTest, MissingFileIsCreatedOnFirstStatement) {
  ASSERT_FALSE(std::filesystem::exists(state.Path()));
  EXPECT_TRUE(DbExec("CREATE TABLE t(a int)"));
  EXPECT_TRUE(std::filesystem::exists(state.Path()));
  EXPECT_EQ(test::RawCount(state.Path(), "sqlite_master", "name='t'"), 1);
}

TEST_F(DbAccessTest, FileThatIsNotADatabaseFailsEveryOperation) {
  test::WriteFile(state.Path(), std::string(4096, 'x'));
  DbRows rows = {{"kept"}};
  EXPECT_FALSE(DbExec("CREATE TABLE t(a int)"));
  EXPECT_FALSE(DbExecBind("INSERT INTO t VALUES(?)", {"1"}));
  EXPECT_FALSE(DbQuery("SELECT * FROM t", &rows));
  EXPECT_EQ(rows, (DbRows{{"kept"}}));
  EXPECT_FALSE(DBManager::Init());
  EXPECT_EQ(DBManager::CountUserInfo(1, AgentTriple{1, 2, 3}), -1);
  // The file is left as it was.
  EXPECT_EQ(test::ReadFile(state.Path()), std::string(4096, 'x'));
}

TEST_F(DbAccessTest, FileThatCannotBeOpenedFails) {
  for (const std::string& path : {state.dir.File("missing-folder/qmb.db"), state.dir.path()}) {
    SCOPED_TRACE(path);
    SetDatabasePath(path);
    DbRows rows;
    EXPECT_FALSE(DbExec("CREATE TABLE t(a int)"));
    EXPECT_FALSE(DbExecBind("INSERT INTO t VALUES(?)", {"1"}));
    EXPECT_FALSE(DbQuery("SELECT 1", &rows));
    EXPECT_TRUE(rows.empty());
  }
}

TEST_F(DbAccessTest, ReadOnlyFileFailsWritesAndStillReads) {
  if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind the super-user";
  ASSERT_TRUE(DbExec("CREATE TABLE t(a int); INSERT INTO t VALUES(7)"));
  ASSERT_EQ(chmod(state.Path().c_str(), 0444), 0);
  EXPECT_FALSE(DbExecBind("INSERT INTO t VALUES(?)", {"8"}));
  EXPECT_FALSE(DbExec("DELETE FROM t"));
  DbRows rows;
  EXPECT_TRUE(DbQuery("SELECT a FROM t", &rows));
  EXPECT_EQ(rows, (DbRows{{"7"}}));
}

TEST_F(DbAccessTest, NullColumnsReadAsEmptyText) {
  ASSERT_TRUE(test::RawExec(state.Path(), "CREATE TABLE t(a int, b text); INSERT INTO t VALUES(NULL, NULL)"));
  DbRows rows;
  ASSERT_TRUE(DbQuery("SELECT a, b FROM t", &rows));
  EXPECT_EQ(rows, (DbRows{{"", ""}}));
}

TEST_F(DbAccessTest, QueryAppendsRowsInResultOrderWithoutHeader) {
  ASSERT_TRUE(DbExec("CREATE TABLE t(a int, b text); INSERT INTO t VALUES(1,'x'); INSERT INTO t VALUES(2,'y')"));
  DbRows rows = {{"before"}};
  ASSERT_TRUE(DbQuery("SELECT a, b FROM t ORDER BY a DESC", &rows));
  EXPECT_EQ(rows, (DbRows{{"before"}, {"2", "y"}, {"1", "x"}}));
  // A failing query leaves the caller's rows alone.
  EXPECT_FALSE(DbQuery("SELECT nosuch FROM t", &rows));
  EXPECT_EQ(rows.size(), 3u);
}

TEST_F(DbAccessTest, BoundTextsAreStoredExactly) {
  ASSERT_TRUE(DbExec("CREATE TABLE t(id int, body TEXT)"));
  const std::string texts[] = {
      "it's",
      "''",
      "\"quoted\"",
      "'); DROP TABLE t; --",
      "%s %d %n",
      "? ?1 :name @x $y",
      std::string("nul\0inside", 10),
      "访客的 '页面' 标题",
      "",
  };
  int id = 0;
  for (const std::string& text : texts) {
    SCOPED_TRACE(text);
    ++id;
    ASSERT_TRUE(DbExecBind("INSERT INTO t (id, body) VALUES(?, ?)", {std::to_string(id), text}));
    DbRows rows;
    ASSERT_TRUE(DbQueryBind("SELECT body FROM t WHERE body=?", {text}, &rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], text);
  }
  EXPECT_EQ(test::RawCount(state.Path(), "t"), id);
}

// A column without a declared type keeps what is bound as it is bound, so it
// shows whether a number went in as an integer and text as text.
TEST_F(DbAccessTest, NumbersBindAsIntegersAndTextsAsText) {
  ASSERT_TRUE(DbExec("CREATE TABLE t(id int, v)"));
  const std::string numberLike = "007";
  struct Case {
    DbValue value;
    const char* type;
    const char* text;
  };
  const Case cases[] = {
      {std::int32_t{-42}, "integer", "-42"},
      {std::int64_t{9007199254740993}, "integer", "9007199254740993"},
      {numberLike, "text", "007"},
      {std::string_view(), "text", ""},  // no storage at all: still the empty text, not NULL
      {"a 'quoted' 值", "text", "a 'quoted' 值"},
  };
  int id = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ++id;
    ASSERT_TRUE(DbExecBind("INSERT INTO t VALUES(?, ?)", {id, c.value}));
    DbRows rows;
    ASSERT_TRUE(DbQueryBind("SELECT typeof(v), v FROM t WHERE id=?", {id}, &rows));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (DbRow{c.type, c.text}));
  }
}

TEST_F(DbAccessTest, BindStopsWhenThereAreMoreTextsThanParameters) {
  ASSERT_TRUE(DbExec("CREATE TABLE t(a int)"));
  EXPECT_FALSE(DbExecBind("INSERT INTO t VALUES(?)", {"1", "2"}));
  EXPECT_EQ(test::RawCount(state.Path(), "t"), 0);
}

// Another connection holding the write lock for a moment must delay a
// statement, not make it fail.
TEST_F(DbAccessTest, StatementWaitsForLockHeldByAnotherConnection) {
  ASSERT_TRUE(DbExec("CREATE TABLE t(a int)"));
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open(state.Path().c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE; INSERT INTO t VALUES(1)", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread release([holder] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
  });
  const bool wrote = DbExecBind("INSERT INTO t VALUES(?)", {"2"});
  DbRows rows;
  const bool read = DbQuery("SELECT a FROM t ORDER BY a", &rows);
  release.join();
  sqlite3_close(holder);
  EXPECT_TRUE(wrote);
  EXPECT_TRUE(read);
  EXPECT_EQ(rows, (DbRows{{"1"}, {"2"}}));
}

// What a batch wrote is seen by other connections only once committed; a
// batch that ends uncommitted leaves nothing, and a rolled-back unit only
// loses its own rows.
TEST_F(DbAccessTest, BatchCommitsItsKeptUnitsTogether) {
  ASSERT_TRUE(DbExec("CREATE TABLE t(a int)"));
  for (const bool commit : {true, false}) {
    SCOPED_TRACE(commit ? "committed" : "ended uncommitted");
    ASSERT_TRUE(DbExec("DELETE FROM t"));
    {
      DbBatch batch;
      ASSERT_TRUE(batch.active());
      for (const char* value : {"1", "2", "3"}) {
        ASSERT_TRUE(batch.BeginUnit());
        ASSERT_TRUE(DbExecBind("INSERT INTO t VALUES(?)", {value}));
        ASSERT_TRUE(std::string(value) == "2" ? batch.RollBackUnit() : batch.EndUnit());
      }
      // A nested batch would commit the outer one early: it stays inactive.
      EXPECT_FALSE(DbBatch().active());
      EXPECT_TRUE(batch.intact());
      EXPECT_EQ(test::RawCount(state.Path(), "t"), 0);
      if (commit) EXPECT_TRUE(batch.Commit());
    }
    EXPECT_EQ(test::RawQuery(state.Path(), "SELECT a FROM t ORDER BY a"),
              commit ? (std::vector<std::vector<std::string>>{{"1"}, {"3"}}) : std::vector<std::vector<std::string>>{});
    // The thread is back to a connection per statement.
    EXPECT_TRUE(DbExec("INSERT INTO t VALUES(9)"));
    EXPECT_EQ(test::RawCount(state.Path(), "t", "a=9"), 1);
  }
}

// A kept connection outlives its batches, but never writes into a file the
// database path no longer names.
TEST_F(DbAccessTest, KeptConnectionFollowsThePathToANewOrReplacedFile) {
  const std::string other = state.dir.File("other.db");
  for (const std::string& path : {state.Path(), other}) ASSERT_TRUE(test::RawExec(path, "CREATE TABLE t(a int)"));
  DbKeptConnection kept;
  const auto write = [&kept](int value) {
    DbBatch batch(kept);
    return batch.active() && DbExecBind("INSERT INTO t VALUES(?)", {value}) && batch.Commit();
  };
  ASSERT_TRUE(write(1));
  ASSERT_TRUE(write(2));  // the same connection, still on the same file
  SetDatabasePath(other);
  ASSERT_TRUE(write(3));
  std::filesystem::remove(other);
  ASSERT_TRUE(test::RawExec(other, "CREATE TABLE t(a int)"));
  ASSERT_TRUE(write(4));
  SetDatabasePath(state.Path());
  EXPECT_EQ(test::RawQuery(state.Path(), "SELECT a FROM t ORDER BY a"),
            (std::vector<std::vector<std::string>>{{"1"}, {"2"}}));
  EXPECT_EQ(test::RawQuery(other, "SELECT a FROM t"), (std::vector<std::vector<std::string>>{{"4"}}));
}

}  // namespace
}  // namespace kanzo
