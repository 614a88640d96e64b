// The functions page: one section per function of the parser's table, with
// every spelling the parser takes, the context its messages carry, what it
// takes and gives, and examples the engine calculates.
#include "tools/docgen/HelpPages.h"

#include "desktop/services/CalcHelpTopics.h"
#include "core/engine/Diagnostics.h"
#include "core/engine/Engine.h"
#include "tools/docgen/Html.h"

#include <algorithm>
#include <array>

namespace DocGen {

namespace {

using namespace NCalculatorText;

// What the help says of a function. Name is the first of its spellings in
// the parser's table; the examples run in Units (0 radians, 1 degrees).
struct FunctionText {
    std::u16string_view Name;
    std::string_view Family;
    int Operation;
    std::string_view What;
    std::string_view Takes;
    int Units;
    std::array<std::string_view, 2> Examples;
};

constexpr std::string_view Trigonometric = "Trigonometric functions";
constexpr std::string_view InverseTrigonometric = "Inverse trigonometric functions";
constexpr std::string_view Hyperbolic = "Hyperbolic functions";
constexpr std::string_view InverseHyperbolic = "Inverse hyperbolic functions";
constexpr std::string_view Exponential = "Logarithms, exponent and roots";
constexpr std::string_view Other = "Absolute value and sign";
constexpr std::string_view Special = "Gamma and Bessel functions";
constexpr std::string_view Series = "Series";

constexpr std::string_view AngleIn = "an angle in the trigonometric units (degrees, grads or radians)";
constexpr std::string_view AngleOut = "; the result is an angle in the trigonometric units";

constexpr auto FunctionTexts = std::to_array<FunctionText>({
    {u"sin", Trigonometric, OpSine, "The sine.", AngleIn, 1, {"sin(30)", "sin(270)"}},
    {u"cos", Trigonometric, OpCosine, "The cosine.", AngleIn, 1, {"cos(60)", "cos(180)"}},
    {u"tg",
     Trigonometric,
     OpTangent,
     "The tangent. At its poles (90, 270, ... degrees) the angle in radians is never exactly the pole, so the "
     "result is a very large number rather than an error.",
     AngleIn,
     1,
     {"tan(45)", "tg(90)"}},
    {u"ctg",
     Trigonometric,
     OpCotangent,
     "The cotangent, computed as the tangent of 90 degrees minus the angle.",
     AngleIn,
     1,
     {"cot(45)", "ctg(30)"}},
    {u"sec", Trigonometric, OpSecant, "The secant, 1 / cos x.", AngleIn, 1, {"sec(60)", "sec(0)"}},
    {u"csc",
     Trigonometric,
     OpCosecant,
     "The cosecant, 1 / sin x; at 0 it has a singularity.",
     AngleIn,
     1,
     {"csc(30)", "cosec(0)"}},
    {u"asin", InverseTrigonometric, OpArcsine, "The arcsine.", "a number from -1 to 1", 1, {"arcsin(0.5)", "asin(2)"}},
    {u"acos",
     InverseTrigonometric,
     OpArccosine,
     "The arccosine.",
     "a number from -1 to 1",
     1,
     {"arccos(0)", "acos(-1)"}},
    {u"atan", InverseTrigonometric, OpArctangent, "The arctangent.", "any number", 1, {"arctan(1)", "atan(1e10)"}},
    {u"acot",
     InverseTrigonometric,
     OpArccotangent,
     "The arccotangent, from 0 to 180 degrees (pi/2 - arctan x).",
     "any number",
     1,
     {"arccot(1)", "acot(-1)"}},
    {u"asec",
     InverseTrigonometric,
     OpArcsecant,
     "The arcsecant, arccos(1/x).",
     "a number of 1 or more in size",
     1,
     {"arcsec(2)", "asec(0.5)"}},
    {u"acsc",
     InverseTrigonometric,
     OpArccosecant,
     "The arccosecant, arcsin(1/x).",
     "a number of 1 or more in size",
     1,
     {"arccsc(2)", "arccosec(0.5)"}},
    {u"sh", Hyperbolic, OpHyperbolicSine, "The hyperbolic sine.", "any number", 0, {"sinh(1)", "sh(1000)"}},
    {u"ch", Hyperbolic, OpHyperbolicCosine, "The hyperbolic cosine.", "any number", 0, {"cosh(1)", "ch(-1000)"}},
    {u"th", Hyperbolic, OpHyperbolicTangent, "The hyperbolic tangent.", "any number", 0, {"tanh(0.5)", "th(100)"}},
    {u"cth",
     Hyperbolic,
     OpHyperbolicCotangent,
     "The hyperbolic cotangent, 1 / tanh x.",
     "any number but 0",
     0,
     {"coth(1)", "cth(0)"}},
    {u"sech",
     Hyperbolic,
     OpHyperbolicSecant,
     "The hyperbolic secant, 1 / cosh x. Where cosh x overflows, the overflow stops the statement and a "
     "warning adds that the result would underflow to 0.",
     "any number",
     0,
     {"sech(0)", "sech(1000)"}},
    {u"csch",
     Hyperbolic,
     OpHyperbolicCosecant,
     "The hyperbolic cosecant, 1 / sinh x. Where sinh x overflows, the overflow stops the statement and a "
     "warning adds that the result would underflow to 0.",
     "any number but 0",
     0,
     {"csch(1)", "csch(0)"}},
    {u"arsh",
     InverseHyperbolic,
     OpArchyperbolicSine,
     "The inverse hyperbolic sine, ln(x + sqrt(x^2 + 1)).",
     "any number",
     0,
     {"arsinh(1)", "arsh(-1)"}},
    {u"arch",
     InverseHyperbolic,
     OpArchyperbolicCosine,
     "The inverse hyperbolic cosine, ln(x + sqrt(x^2 - 1)).",
     "a number of 1 or more",
     0,
     {"arcosh(1)", "arch(0.5)"}},
    {u"arth",
     InverseHyperbolic,
     OpArchyperbolicTangent,
     "The inverse hyperbolic tangent, ln((1 + x)/(1 - x)) / 2.",
     "a number between -1 and 1",
     0,
     {"artanh(0.5)", "arth(1)"}},
    {u"arcth",
     InverseHyperbolic,
     OpArchyperbolicCotangent,
     "The inverse hyperbolic cotangent, ln((x + 1)/(x - 1)) / 2.",
     "a number greater than 1 in size",
     0,
     {"arcoth(2)", "arcth(0.5)"}},
    {u"arsch",
     InverseHyperbolic,
     OpArchyperbolicSecant,
     "The inverse hyperbolic secant, arcosh(1/x).",
     "a number greater than 0, up to 1",
     0,
     {"arsech(0.5)", "arsch(2)"}},
    {u"acsch",
     InverseHyperbolic,
     OpArchyperbolicCosecant,
     "The inverse hyperbolic cosecant, arsinh(1/x).",
     "any number but 0",
     0,
     {"arcsch(1)", "acsch(0)"}},
    {u"ln",
     Exponential,
     OpNaturalLogarithm,
     "The natural logarithm. Of a factorial or a gamma function it is taken without computing the huge value "
     "first, so it does not overflow.",
     "a number greater than 0",
     0,
     {"ln(1000!)", "ln(0)"}},
    {u"lg",
     Exponential,
     OpDecimalLogarithm,
     "The decimal logarithm.",
     "a number greater than 0",
     0,
     {"lg(1000)", "log(-1)"}},
    {u"exp",
     Exponential,
     OpExponent,
     "e to the power of the argument.",
     "any number; above about 709.78 it overflows",
     0,
     {"exp(1)", "exp(1000)"}},
    {u"sqrt", Exponential, OpSquareRoot, "The square root.", "a number of 0 or more", 0, {"sqrt(2)", "sqrt(-4)"}},
    {u"abs", Other, OpAbs, "The absolute value.", "any number", 0, {"abs(-2.5)", "abs(3)"}},
    {u"sign", Other, OpSign, "-1, 0 or 1 by the sign of the argument.", "any number", 0, {"sign(-3)", "sign(0)"}},
    {u"gamma",
     Special,
     OpGammaFunction,
     "The gamma function; gamma(x + 1) is the factorial x!, which the postfix \"!\" also gives.",
     "any number but 0 and the negative whole numbers; above about 171.6 it overflows",
     0,
     {"gamma(5)", "gamma(0.5)^2"}},
    {u"j",
     Special,
     OpBesselFirstKind,
     "The Bessel function of the first kind J(n, x) of whole order n.",
     "the order n (a whole number) and x, separated by a comma",
     0,
     {"J(0, 1)", "J(2, 3.5)"}},
    {u"y",
     Special,
     OpBesselSecondKind,
     "The Bessel function of the second kind Y(n, x) of whole order n.",
     "the order n (a whole number) and x greater than 0, separated by a comma",
     0,
     {"Y(0, 1)", "Y(1, 0)"}},
    {u"sum",
     Series,
     OpSeriesSum,
     "The sum of a series: sum(i, a, b, body) adds the body up for the index i from a to b in steps of 1; "
     "sum(i, a, b, s, body) steps by s.",
     "an index name, the first and last value, an optional step, and the body",
     0,
     {"sum(i, 1, 100, i)", "sum(k, 0, 10, 2, k^2)"}},
    {u"prod",
     Series,
     OpSeriesProduct,
     "The product of a series: prod(i, a, b, body) multiplies the body up for i from a to b; an optional step "
     "goes before the body as in sum.",
     "an index name, the first and last value, an optional step, and the body",
     0,
     {"prod(i, 1, 10, i)", "prod(n, 1, 5, 2*n)"}},
});

const FunctionText* FindText(std::u16string_view name)
{
    const auto found = std::find_if(FunctionTexts.begin(), FunctionTexts.end(),
                                    [name](const FunctionText& text) { return text.Name == name; });
    return found == FunctionTexts.end() ? nullptr : &*found;
}

// The anchor of a spelling, as the help window addresses it.
std::string Anchor(std::u16string_view name)
{
    const QString topic = CalcHelp::FunctionTopic(QStringView(name.data(), static_cast<qsizetype>(name.size())));
    return topic.mid(topic.indexOf(QLatin1Char('#')) + 1).toStdString();
}

// The spellings as a heading: "tg, tan".
std::string Heading(const NameGroup& group)
{
    std::string heading;
    for (const std::u16string_view name : group)
        heading += (heading.empty() ? "" : ", ") + Escape(Utf8(name));
    return heading;
}

std::string NamesLine(const NameGroup& group)
{
    std::string line;
    for (const std::u16string_view name : group) {
        if (!line.empty())
            line += ", ";
        line += "<code>" + Escape(Utf8(name)) + "</code>";
    }
    return line;
}

}  // namespace

std::string FunctionsPage(std::vector<std::string>& errors)
{
    const std::vector<NameGroup> groups = FunctionNameGroups();
    std::string body =
        "<p>A function name is followed at once by its argument in brackets: <code>sin(30)</code>, "
        "<code>sin[30]</code> and <code>sin{30}</code> are the same, and <code>sin 30</code> is not a call. "
        "Names are read without regard to case, and every spelling of a function below is accepted whatever "
        "the notation set in Preferences; the notation only decides which name the keypad inserts. A message "
        "of a function names it by its context, shown with each function. The trigonometric units are set "
        "in Preferences, in the units list of the toolbar or with the units window.</p>\n";

    // The table of contents of the page, family by family.
    std::vector<std::string_view> families;
    for (const FunctionText& text : FunctionTexts) {
        if (std::find(families.begin(), families.end(), text.Family) == families.end())
            families.push_back(text.Family);
    }
    for (const std::string_view family : families) {
        body += "<p><b>" + Escape(family) + ":</b> ";
        bool first = true;
        for (const NameGroup& group : groups) {
            const FunctionText* text = FindText(group.front());
            if (text == nullptr || text->Family != family)
                continue;
            body += std::string(first ? "" : " | ") + "<a href=\"#" + Anchor(group.front()) + "\">" + Heading(group) +
                "</a>";
            first = false;
        }
        body += "</p>\n";
    }

    for (const std::string_view family : families) {
        body += "<h2>" + Escape(family) + "</h2>\n";
        for (const NameGroup& group : groups) {
            const FunctionText* text = FindText(group.front());
            if (text == nullptr || text->Family != family)
                continue;
            // Every spelling is a place to land on.
            for (const std::u16string_view name : group)
                body += "<a name=\"" + Anchor(name) + "\"></a>";
            body += "<h3>" + Heading(group) + "</h3>\n";
            body += "<p>" + Escape(text->What) + "</p>\n";
            body += "<p>Names: " + NamesLine(group) + "<br>\n";
            body += "Argument: " + Escape(text->Takes);
            if (text->Family == InverseTrigonometric)
                body += Escape(AngleOut);
            body += "<br>\nContext of its messages: <a href=\"messages.html#contexts\">" +
                Escape(Utf8(OperationName(text->Operation))) + "</a></p>\n";
            body += std::string("<p>Examples") + (text->Units == 1 ? ", in degrees" : "") + ":</p>\n";
            for (const std::string_view example : text->Examples)
                body += ExampleHtml(Calculate(example, text->Units));
        }
    }

    for (const NameGroup& group : groups) {
        if (FindText(group.front()) == nullptr)
            errors.push_back("the functions page has no text for the function " + Utf8(group.front()));
    }
    for (const FunctionText& text : FunctionTexts) {
        const bool known = std::any_of(groups.begin(), groups.end(),
                                       [&text](const NameGroup& group) { return group.front() == text.Name; });
        if (!known)
            errors.push_back("the functions page describes " + Utf8(text.Name) + ", which is no function");
    }
    return body;
}

}  // namespace DocGen
