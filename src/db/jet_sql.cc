#include "db/jet_sql.h"

#include <array>
#include <cstdlib>

#include "db/db_failure.h"
#include "platform/ansi_text.h"

namespace zc::db {
namespace {

// What a byte can be in a query text, looked up rather than tested in turn:
// every query asked once per row is scanned byte by byte.
enum CharClass : unsigned char { kOther, kBlank, kDigit, kLetter, kSymbol, kQuote, kMinus };

constexpr std::array<CharClass, 256> kCharClasses = [] {
  std::array<CharClass, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
    if (letter) classes[c] = kLetter;
    if (c >= '0' && c <= '9') classes[c] = kDigit;
    if (c == ' ' || (c >= '\t' && c <= '\r')) classes[c] = kBlank;
  }
  for (char c : std::string_view("().,*=;")) classes[static_cast<unsigned char>(c)] = kSymbol;
  classes['"'] = kQuote;
  classes['-'] = kMinus;
  return classes;
}();

CharClass ClassOf(char c) { return kCharClasses[static_cast<unsigned char>(c)]; }
bool IsDigit(char c) { return ClassOf(c) == kDigit; }
bool IsNameChar(char c) { return ClassOf(c) == kLetter || ClassOf(c) == kDigit; }

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
  explicit Lexer(std::string_view text, size_t pos = 0) : text_(text), pos_(pos) {}
  size_t pos() const { return pos_; }

  Token Next() {
    SkipBlanks();
    if (pos_ == text_.size()) return {};
    size_t start = pos_;
    Token token{KindHere(), {}, {}};
    if (token.kind == Token::Kind::kName) {
      SkipName();
    } else if (token.kind == Token::Kind::kSymbol) {
      ++pos_;
    } else {
      token.literal = Literal(token.kind);
    }
    token.text = text_.substr(start, pos_ - start);
    return token;
  }

  // The next literal, with the names and symbols before it passed over
  // unread: all that the shape of a query needs. Scanned with pointers held
  // locally, which the compiler keeps in registers.
  Token NextLiteral() {
    const char* const begin = text_.data();
    const char* const end = begin + text_.size();
    const char* at = begin + pos_;
    while (at != end) {
      CharClass here = ClassOf(*at);
      if (here == kLetter) {
        do ++at;
        while (at != end && IsNameChar(*at));
      } else if (here == kBlank || here == kSymbol) {
        ++at;
      } else {
        break;  // a literal starts here, or a byte no token can start with
      }
    }
    pos_ = static_cast<size_t>(at - begin);
    if (at == end) return {};
    Token::Kind kind = KindHere();
    Value literal = Literal(kind);
    return {kind, text_.substr(at - begin, pos_ - (at - begin)), std::move(literal)};
  }

  // The kind of the token that starts here, told by its first byte.
  Token::Kind KindHere() const {
    switch (ClassOf(text_[pos_])) {
      case kQuote:
        return Token::Kind::kText;
      case kDigit:
        return Token::Kind::kNumber;
      case kMinus:
        if (pos_ + 1 < text_.size() && IsDigit(text_[pos_ + 1])) return Token::Kind::kNumber;
        SyntaxError(text_);
      case kLetter:
        return Token::Kind::kName;
      case kSymbol:
        return Token::Kind::kSymbol;
      default:
        SyntaxError(text_);
    }
  }

  // The literal of that kind that starts here; raises the syntax failure
  // for one that cannot be read.
  Value Literal(Token::Kind kind) {
    return kind == Token::Kind::kText ? Value::Text(QuotedText()) : Number();
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && ClassOf(text_[pos_]) == kBlank) ++pos_;
  }
  void SkipName() {
    while (pos_ < text_.size() && IsNameChar(text_[pos_])) ++pos_;
  }

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
  for (Token token = lexer.NextLiteral(); token.kind != Token::Kind::kEnd;
       token = lexer.NextLiteral()) {
    size_t begin = static_cast<size_t>(token.text.data() - text.data());
    shape.key.append(text.substr(copied, begin - copied));
    shape.key += token.kind == Token::Kind::kText ? '"' : '#';
    shape.literals.push_back(std::move(token.literal));
    copied = begin + token.text.size();
  }
  shape.key.append(text.substr(copied));
  return shape;
}

ShapePattern::ShapePattern(const std::string& key) : key_(key) {
  std::string_view rest = key_;
  for (size_t marker; (marker = rest.find_first_of("\"#")) != std::string_view::npos;) {
    pieces_.push_back(rest.substr(0, marker + 1));  // the marker last
    rest.remove_prefix(marker + 1);
  }
  pieces_.push_back(rest);
}

bool ShapePattern::Match(std::string_view text, std::vector<Value>& literals) const {
  // Bytes equal to the other text's up to a literal lex alike: a name never
  // runs into a literal (a digit after a name would belong to it), and the
  // literal of the same kind starts on the same byte class.
  literals.clear();
  literals.reserve(pieces_.size() - 1);
  size_t at = 0;
  for (size_t i = 0; i + 1 < pieces_.size(); ++i) {
    std::string_view text_part = pieces_[i].substr(0, pieces_[i].size() - 1);
    if (text.substr(at, text_part.size()) != text_part) return false;
    at += text_part.size();
    bool quoted = pieces_[i].back() == '"';
    if (at == text.size()) return false;
    char first = text[at];
    bool number_starts =
        IsDigit(first) || (first == '-' && at + 1 < text.size() && IsDigit(text[at + 1]));
    if (quoted ? first != '"' : !number_starts) return false;
    Lexer lexer(text, at);
    literals.push_back(lexer.Literal(quoted ? Token::Kind::kText : Token::Kind::kNumber));
    at = lexer.pos();
  }
  return text.substr(at) == pieces_.back();
}

JetQuery ParseJetQuery(std::string_view text) { return Parser(text).Query(); }

}  // namespace zc::db
