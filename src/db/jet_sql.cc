#include "db/jet_sql.h"

#include <cstdlib>

#include "db/db_failure.h"
#include "platform/ansi_text.h"

namespace zc::db {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
         (static_cast<unsigned char>(c) & 0x80) != 0;
}
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }

[[noreturn]] void SyntaxError(std::string_view text) {
  Fail(code::kSyntax, "Syntax error in query expression '" + std::string(text) + "'.",
       source::kDatabase);
}

[[noreturn]] void TooComplex() {
  Fail(code::kTooComplex, "Query is too complex.", source::kDatabase);
}

struct Token {
  enum class Kind { kEnd, kName, kSymbol, kText, kNumber } kind = Kind::kEnd;
  std::string_view text;  // as written
  Value literal;          // of a text or a number
};

// Cuts a query text into names, the symbols ( ) . , * = ; and literals. A
// character that none of them can hold is a syntax failure at once.
class Lexer {
 public:
  explicit Lexer(std::string_view text) : text_(text) {}

  Token Next() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
    Token token;
    size_t start = pos_;
    if (pos_ == text_.size()) return token;
    char c = text_[pos_];
    if (c == '"') {
      token = {Token::Kind::kText, {}, Value::Text(QuotedText())};
    } else if (IsDigit(c) || (c == '-' && pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1]))) {
      token = {Token::Kind::kNumber, {}, Number()};
    } else if (IsNameStart(c)) {
      while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
      token.kind = Token::Kind::kName;
    } else if (std::string_view("().,*=;").find(c) != std::string_view::npos) {
      ++pos_;
      token.kind = Token::Kind::kSymbol;
    } else {
      SyntaxError(text_);
    }
    token.text = text_.substr(start, pos_ - start);
    return token;
  }

 private:
  std::string QuotedText() {
    std::string value;
    for (++pos_;;) {
      size_t close = text_.find('"', pos_);
      if (close == std::string_view::npos) SyntaxError(text_);
      value.append(text_.substr(pos_, close - pos_));
      pos_ = close + 1;
      if (pos_ == text_.size() || text_[pos_] != '"') return value;
      value += '"';  // a doubled quote stands for one
      ++pos_;
    }
  }

  // Whole numbers of up to 17 digits stay exact; others are doubles.
  Value Number() {
    auto number = NumberAtStart(text_.substr(pos_));
    if (!number) SyntaxError(text_);  // one that no double holds
    std::string written(text_.substr(pos_, number->second));
    pos_ += number->second;
    size_t digits = written.size() - (written[0] == '-' ? 1 : 0);
    if (written.find_first_of(".eE") == std::string::npos && digits < 18) {
      return Value::Integer(std::strtoll(written.c_str(), nullptr, 10));
    }
    return Value::Number(number->first);
  }

  std::string_view text_;
  size_t pos_ = 0;
};

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text), lexer_(text) { Advance(); }

  JetQuery Query() {
    ExpectWord("SELECT");
    do {
      query_.columns.push_back(Column(/*all=*/true));
    } while (AcceptSymbol(','));
    ExpectWord("FROM");
    query_.table = Name();
    if (AcceptWord("WHERE") && Conjunction().kind != Piece::Kind::kCondition) SyntaxError(text_);
    if (AcceptWord("ORDER")) {
      ExpectWord("BY");
      do {
        query_.order_by.push_back(Column(/*all=*/false));
      } while (AcceptSymbol(','));
    }
    AcceptSymbol(';');
    if (token_.kind != Token::Kind::kEnd) SyntaxError(text_);
    return std::move(query_);
  }

 private:
  // What a part of a condition turned out to be; parentheses may hold any.
  struct Piece {
    enum class Kind { kColumn, kLiteral, kCondition } kind;
    ColumnRef column;
  };

  void Advance() { token_ = lexer_.Next(); }

  bool IsWord(std::string_view word) const {
    return token_.kind == Token::Kind::kName && platform::EqualIgnoringCase(token_.text, word);
  }
  bool AcceptWord(std::string_view word) {
    if (!IsWord(word)) return false;
    Advance();
    return true;
  }
  void ExpectWord(std::string_view word) {
    if (!AcceptWord(word)) SyntaxError(text_);
  }
  bool AcceptSymbol(char symbol) {
    if (token_.kind != Token::Kind::kSymbol || token_.text[0] != symbol) return false;
    Advance();
    return true;
  }

  std::string Name() {
    bool keyword = false;
    for (std::string_view word : {"SELECT", "FROM", "WHERE", "AND", "ORDER"})
      keyword |= IsWord(word);
    if (token_.kind != Token::Kind::kName || keyword) SyntaxError(text_);
    std::string name(token_.text);
    Advance();
    return name;
  }

  // "T.col", or "T.*" where all columns may stand.
  ColumnRef Column(bool all) {
    ColumnRef ref{Name(), ""};
    if (!AcceptSymbol('.')) SyntaxError(text_);
    ref.column = all && AcceptSymbol('*') ? "*" : Name();
    return ref;
  }

  Piece Conjunction() {
    Piece first = Compared();
    while (AcceptWord("AND")) {
      Piece next = Compared();
      if (first.kind != Piece::Kind::kCondition || next.kind != Piece::Kind::kCondition) {
        SyntaxError(text_);
      }
    }
    return first;
  }

  Piece Compared() {
    Piece left = Primary();
    if (!AcceptSymbol('=')) return left;
    Piece right = Primary();
    if (left.kind != Piece::Kind::kColumn || right.kind != Piece::Kind::kLiteral) {
      SyntaxError(text_);
    }
    if (query_.where.size() == kMaxComparisons) TooComplex();
    query_.where.push_back({left.column, literals_ - 1});
    return {Piece::Kind::kCondition, {}};
  }

  Piece Primary() {
    if (AcceptSymbol('(')) {
      if (++depth_ > kMaxDepth) TooComplex();
      Piece inner = Conjunction();
      if (!AcceptSymbol(')')) SyntaxError(text_);
      --depth_;
      return inner;
    }
    if (token_.kind == Token::Kind::kText || token_.kind == Token::Kind::kNumber) {
      Advance();
      ++literals_;
      return {Piece::Kind::kLiteral, {}};
    }
    return {Piece::Kind::kColumn, Column(/*all=*/false)};
  }

  // The program's queries nest three levels deep and compare three fields;
  // a text far past these limits fails instead of running the stack out.
  static constexpr int kMaxDepth = 200;
  static constexpr size_t kMaxComparisons = 100;

  std::string_view text_;
  Lexer lexer_;
  Token token_;
  JetQuery query_;
  size_t literals_ = 0;
  int depth_ = 0;
};

}  // namespace

bool IsQueryText(std::string_view text) {
  auto start = text.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos &&
         platform::EqualIgnoringCase(text.substr(start, 6), "SELECT") &&
         (text.size() == start + 6 || !IsNameChar(text[start + 6]));
}

QueryShape ShapeOfJetQuery(std::string_view text) {
  // The key is the text with each literal replaced by a marker. Neither
  // marker can stand in a text the lexer reads: a double quote always opens
  // a literal and "#" is no symbol. So two texts share a key only when they
  // differ in nothing but their literals' values.
  QueryShape shape;
  shape.key.reserve(text.size());
  size_t copied = 0;  // the text up to here is in the key
  Lexer lexer(text);
  for (Token token = lexer.Next(); token.kind != Token::Kind::kEnd; token = lexer.Next()) {
    if (token.kind != Token::Kind::kText && token.kind != Token::Kind::kNumber) continue;
    size_t begin = static_cast<size_t>(token.text.data() - text.data());
    shape.key.append(text.substr(copied, begin - copied));
    shape.key += token.kind == Token::Kind::kText ? '"' : '#';
    shape.literals.push_back(std::move(token.literal));
    copied = begin + token.text.size();
  }
  shape.key.append(text.substr(copied));
  return shape;
}

JetQuery ParseJetQuery(std::string_view text) { return Parser(text).Query(); }

}  // namespace zc::db
