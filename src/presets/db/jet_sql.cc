#include "presets/db/jet_sql.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/ansi_text.h"
#include "presets/db/db_failure.h"

namespace zc::db {
namespace {

struct Token {
  enum class Kind { kWord, kName, kString, kNumber, kSymbol, kEnd } kind;
  std::string text;           // as written
  std::string upper;          // words only: upper-cased, to tell keywords
  size_t begin = 0, end = 0;  // where it stands in the text
};

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
         (static_cast<unsigned char>(c) & 0x80) != 0;
}

// The number that starts at `pos` (digits, fraction, exponent), however long it is.
std::string_view NumberAt(std::string_view text, size_t pos) {
  auto number = NumberAtStart(text.substr(pos));
  return text.substr(pos, number ? number->second : 1);
}

// The bytes a shape key puts where literals stood. The same bytes in the text
// itself are escaped, so that a text never shares the shape, and so the
// cached plan, of a query whose literals stand there.
constexpr char kTextMarker = '\x01';
constexpr char kNumberMarker = '\x02';
constexpr char kEscapeMarker = '\x03';

void AppendToKey(std::string& key, std::string_view piece) {
  for (char c : piece) {
    if (c == kTextMarker || c == kNumberMarker || c == kEscapeMarker) key += kEscapeMarker;
    key += c;
  }
}

class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  Token Next() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    size_t begin = pos_;
    Token token = Read();
    token.begin = begin;
    token.end = pos_;
    return token;
  }

 private:
  Token Read() {
    if (pos_ >= text_.size()) return {Token::Kind::kEnd, "", ""};
    char c = text_[pos_];
    if (c == '"' || c == '\'') return Quoted(c, Token::Kind::kString);
    if (c == '[') return Bracketed();
    if (std::isdigit(static_cast<unsigned char>(c))) return NumberToken();
    if (IsNameChar(c)) {
      size_t start = pos_;
      while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
      std::string word(text_.substr(start, pos_ - start));
      return {Token::Kind::kWord, word, platform::UpperCase(word)};
    }
    for (std::string_view two : {"<>", "<=", ">="}) {
      if (text_.substr(pos_, 2) == two) {
        pos_ += 2;
        return {Token::Kind::kSymbol, std::string(two), ""};
      }
    }
    ++pos_;
    return {Token::Kind::kSymbol, std::string(1, c), ""};
  }

  Token Quoted(char quote, Token::Kind kind) {
    std::string value;
    for (++pos_; pos_ < text_.size(); ++pos_) {
      if (text_[pos_] != quote) {
        value += text_[pos_];
      } else if (pos_ + 1 < text_.size() && text_[pos_ + 1] == quote) {
        value += quote;
        ++pos_;
      } else {
        ++pos_;
        return {kind, value, ""};
      }
    }
    SyntaxError(text_);
  }

  Token Bracketed() {
    auto close = text_.find(']', pos_);
    if (close == std::string_view::npos) SyntaxError(text_);
    std::string name(text_.substr(pos_ + 1, close - pos_ - 1));
    pos_ = close + 1;
    return {Token::Kind::kName, name, ""};
  }

  Token NumberToken() {
    std::string_view number = NumberAt(text_, pos_);
    pos_ += number.size();
    return {Token::Kind::kNumber, std::string(number), ""};
  }

 public:
  [[noreturn]] static void SyntaxError(std::string_view text) {
    Fail(code::kSyntax, "Syntax error in query expression '" + std::string(text) + "'.",
         source::kDatabase);
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text), lexer_(text) { Advance(); }

  JetQuery Query() {
    JetQuery query;
    ExpectWord("SELECT");
    do {
      query.columns.push_back(SelectItem());
    } while (AcceptSymbol(","));
    ExpectWord("FROM");
    query.table = Name();
    if (AcceptWord("WHERE")) {
      query.where = Or();
      if (!query.where->IsCondition()) Lexer::SyntaxError(text_);
    }
    if (AcceptWord("ORDER")) {
      ExpectWord("BY");
      do {
        OrderItem item{ColumnReference(), false};
        if (AcceptWord("DESC"))
          item.descending = true;
        else
          AcceptWord("ASC");
        query.order_by.push_back(item);
      } while (AcceptSymbol(","));
    }
    AcceptSymbol(";");
    if (token_.kind != Token::Kind::kEnd) Lexer::SyntaxError(text_);
    return query;
  }

 private:
  void Advance() { token_ = lexer_.Next(); }

  bool IsWord(const char* word) const {
    return token_.kind == Token::Kind::kWord && token_.upper == word;
  }
  bool AcceptWord(const char* word) {
    if (!IsWord(word)) return false;
    Advance();
    return true;
  }
  void ExpectWord(const char* word) {
    if (!AcceptWord(word)) Lexer::SyntaxError(text_);
  }
  bool AcceptSymbol(const char* symbol) {
    if (token_.kind != Token::Kind::kSymbol || token_.text != symbol) return false;
    Advance();
    return true;
  }

  std::string Name() {
    bool keyword = IsWord("SELECT") || IsWord("FROM") || IsWord("WHERE") || IsWord("AND") ||
                   IsWord("OR") || IsWord("NOT") || IsWord("ORDER");
    if ((token_.kind != Token::Kind::kWord && token_.kind != Token::Kind::kName) || keyword) {
      Lexer::SyntaxError(text_);
    }
    std::string name = token_.text;
    Advance();
    return name;
  }

  ColumnRef ColumnReference() {
    ColumnRef ref{"", Name()};
    if (AcceptSymbol(".")) {
      ref.qualifier = ref.column;
      ref.column = AcceptSymbol("*") ? "*" : Name();
    }
    return ref;
  }

  ColumnRef SelectItem() {
    if (AcceptSymbol("*")) return {"", "*"};
    return ColumnReference();
  }

  std::unique_ptr<QueryExpr> Node(QueryExpr::Kind kind, std::unique_ptr<QueryExpr> left,
                                  std::unique_ptr<QueryExpr> right) {
    if (++nodes_ > kMaxNodes) TooComplex();
    auto node = std::make_unique<QueryExpr>();
    node->kind = kind;
    node->left = std::move(left);
    node->right = std::move(right);
    bool conditions = kind == QueryExpr::Kind::kCompare ||
                      (node->left->IsCondition() && (!node->right || node->right->IsCondition()));
    bool operands = kind != QueryExpr::Kind::kCompare ||
                    (!node->left->IsCondition() && !node->right->IsCondition());
    if (!conditions || !operands) Lexer::SyntaxError(text_);
    return node;
  }

  std::unique_ptr<QueryExpr> Or() {
    auto left = And();
    while (AcceptWord("OR")) left = Node(QueryExpr::Kind::kOr, std::move(left), And());
    return left;
  }

  std::unique_ptr<QueryExpr> And() {
    auto left = Not();
    while (AcceptWord("AND")) left = Node(QueryExpr::Kind::kAnd, std::move(left), Not());
    return left;
  }

  std::unique_ptr<QueryExpr> Not() {
    if (!AcceptWord("NOT")) return Comparison();
    Deeper();
    auto node = Node(QueryExpr::Kind::kNot, Not(), nullptr);
    --depth_;
    return node;
  }

  std::unique_ptr<QueryExpr> Comparison() {
    auto left = Primary();
    for (const char* op : {"=", "<>", "<=", ">=", "<", ">"}) {
      if (!AcceptSymbol(op)) continue;
      auto node = Node(QueryExpr::Kind::kCompare, std::move(left), Primary());
      node->op = op;
      return node;
    }
    return left;
  }

  std::unique_ptr<QueryExpr> Primary() {
    if (AcceptSymbol("(")) {
      Deeper();
      auto inner = Or();
      if (!AcceptSymbol(")")) Lexer::SyntaxError(text_);
      --depth_;
      return inner;
    }
    auto node = std::make_unique<QueryExpr>();
    node->kind = QueryExpr::Kind::kLiteral;
    bool negative = AcceptSymbol("-");
    if (token_.kind == Token::Kind::kNumber) {
      node->literal = NumberLiteral(token_.text, negative);
      Advance();
    } else if (token_.kind == Token::Kind::kString && !negative) {
      node->literal = Value::Text(token_.text);
      Advance();
    }
    if (node->kind == QueryExpr::Kind::kLiteral && !node->literal.IsNull()) {
      node->ordinal = literals_++;
    } else if (!negative) {
      ColumnRef ref = ColumnReference();
      node->kind = QueryExpr::Kind::kColumn;
      node->qualifier = ref.qualifier;
      node->column = ref.column;
      if (ref.column == "*") Lexer::SyntaxError(text_);
    } else {
      Lexer::SyntaxError(text_);
    }
    return node;
  }

  // The value of a number as written, "-" before it included.
 public:
  static Value NumberLiteral(const std::string& text, bool negative) {
    bool whole = text.find_first_of(".eE") == std::string::npos && text.size() < 18;
    if (whole) {
      std::int64_t n = std::strtoll(text.c_str(), nullptr, 10);
      return Value::Integer(negative ? -n : n);
    }
    double d = NumberAtStart(text).value_or(std::make_pair(0.0, size_t{0})).first;
    return Value::Number(negative ? -d : d);
  }

  std::string_view text_;
  Lexer lexer_;
  Token token_{Token::Kind::kEnd, "", ""};
  int literals_ = 0;

  // Parsing, planning and freeing a condition recurse once per level of it.
  // The program's queries nest three levels deep; a text far past these
  // limits fails instead of running the stack out.
  static constexpr int kMaxDepth = 200;
  static constexpr int kMaxNodes = 1000;
  int depth_ = 0, nodes_ = 0;

  void Deeper() {
    if (++depth_ > kMaxDepth) TooComplex();
  }
  [[noreturn]] static void TooComplex() {
    Fail(code::kTooComplex, "Query is too complex.", source::kDatabase);
  }
};

}  // namespace

bool IsQueryText(std::string_view text) {
  auto start = text.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos &&
         platform::UpperCase(text.substr(start, 7)).rfind("SELECT", 0) == 0 &&
         (text.size() == start + 6 || !IsNameChar(text[start + 6]));
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// The blanks the lexer skips (std::isspace): a "-" before a number must be
// seen through the same blanks in both.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// A quoted literal starting at `pos`; moves `pos` past it.
std::string QuotedText(std::string_view text, size_t& pos) {
  char quote = text[pos++];
  std::string value;
  for (;;) {
    size_t close = text.find(quote, pos);
    if (close == std::string_view::npos) Lexer::SyntaxError(text);
    value.append(text.substr(pos, close - pos));
    pos = close + 1;
    if (pos >= text.size() || text[pos] != quote) return value;
    value += quote;  // a doubled quote stands for one
    ++pos;
  }
}

}  // namespace

QueryShape ShapeOfJetQuery(std::string_view text) {
  // Runs once per row of the per-row queries, so it copies whole stretches
  // between literals rather than going token by token.
  QueryShape shape;
  shape.key.reserve(text.size());
  char previous = ' ';  // the last character outside blanks and literals
  for (size_t pos = 0; pos < text.size();) {
    char c = text[pos];
    if (c == '"' || c == '\'') {
      shape.literals.push_back(Value::Text(QuotedText(text, pos)));
      shape.key += kTextMarker;
      previous = kTextMarker;
    } else if (IsDigit(c) && !IsNameChar(previous)) {
      std::string_view number = NumberAt(text, pos);
      shape.literals.push_back(Parser::NumberLiteral(std::string(number), previous == '-'));
      shape.key += kNumberMarker;
      pos += number.size();
      previous = kNumberMarker;
    } else if (c == '[') {
      size_t close = text.find(']', pos);
      size_t stop = close == std::string_view::npos ? text.size() : close + 1;
      AppendToKey(shape.key, text.substr(pos, stop - pos));
      pos = stop;
      previous = ']';
    } else {
      size_t stop = pos;
      for (; stop < text.size(); ++stop) {
        char d = text[stop];
        if (d == '"' || d == '\'' || d == '[' || (IsDigit(d) && !IsNameChar(previous))) break;
        if (!IsBlank(d)) previous = d;
      }
      AppendToKey(shape.key, text.substr(pos, stop - pos));
      pos = stop;
    }
  }
  return shape;
}

JetQuery ParseJetQuery(std::string_view text) { return Parser(text).Query(); }

}  // namespace zc::db
