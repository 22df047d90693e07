#include "rapport_html.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <span>
#include <vector>

#include "engine/types_declaration.h"
#include "intitules.h"
#include "lignes_formulaires.h"
#include "platform/text_key.h"
#include "rubrics/conventions.h"
#include "rubrics/rubrique.h"

namespace qxtva {

namespace {

// The base x rate rows the engine checks, to show them with their gap.
struct LigneTaux {
    std::string_view base, taxe;
    double taux;
    std::string_view libelle;
};
constexpr std::array<LigneTaux, 5> kTauxCA3 = {{{"CA3FP", "CA3GP", 0.2, "20 %"},
                                                {"CA3FB", "CA3GB", 0.055, "5,5 %"},
                                                {"CA3FR", "CA3GR", 0.1, "10 %"},
                                                {"CA3FM", "CA3GM", 0.085, "8,5 %"},
                                                {"CA3FN", "CA3GN", 0.021, "2,1 %"}}};
constexpr std::array<LigneTaux, 5> kTauxCA12 = {{{"CA12EW", "CA12FW", 0.2, "20 %"},
                                                 {"CA12EF", "CA12FF", 0.055, "5,5 %"},
                                                 {"CA12GF", "CA12GH", 0.1, "10 %"},
                                                 {"CA12EU", "CA12FU", 0.085, "8,5 %"},
                                                 {"CA12EV", "CA12FV", 0.021, "2,1 %"}}};

std::string html(std::string_view texte) {
    std::string sortie;
    for (char c : texte) {
        switch (c) {
            case '&':
                sortie += "&amp;";
                break;
            case '<':
                sortie += "&lt;";
                break;
            case '>':
                sortie += "&gt;";
                break;
            case '"':
                sortie += "&quot;";
                break;
            default:
                sortie += c;
        }
    }
    return sortie;
}

std::string nombre(double x) {
    return qx::NombreVersTexte(x);
}

// The section of the printed form a line belongs to, as (order, title).
std::pair<int, std::string> section(std::string_view formulaire, std::string_view ligne) {
    if (ligne.empty()) return {90, "Mentions"};
    if (formulaire == "CA3A") return {10, "Annexe 3310-A : taxes assimilées et régularisations"};
    if (formulaire == "CA3") {
        static const std::set<std::string_view> brute = {"08", "09", "9B", "10", "11",
                                                         "13", "14", "15", "5B", "16"};
        static const std::set<std::string_view> deductible = {"17", "18",  "19", "20", "21", "2C",
                                                              "22", "22A", "23", "24", "2E"};
        static const std::set<std::string_view> credit = {"25", "26", "AA", "27"};
        const char c = ligne.front();
        if (c == 'A' || c == 'B') return {10, "A. Opérations imposables (montants hors taxe)"};
        if (c == 'E' || c == 'F') return {20, "A. Opérations non imposables"};
        if (brute.count(ligne) || c == 'T' || c == 'P' || c == 'I')
            if (ligne != "TD") return {30, "B. TVA brute"};
        if (deductible.count(ligne)) return {40, "B. TVA déductible"};
        if (credit.count(ligne)) return {50, "Crédit de TVA"};
        return {60, "Taxe à payer"};
    }
    int n = 0;
    for (char c : ligne) {
        if (c < '0' || c > '9') break;
        n = n * 10 + (c - '0');
    }
    if (n == 0) return {20, "TVA brute"};
    if (n <= 4) return {10, "Opérations réalisées"};
    if (n <= 16) return {20, "TVA brute"};
    if (n <= 19) return {30, "TVA due"};
    if (n <= 27) return {40, "TVA déductible"};
    if (n <= 35) return {50, "Résultat de la liquidation"};
    if (n >= 54 && n <= 58) return {70, "Décompte et paiement"};
    return {60, "Taxes assimilées"};
}

std::string valeurAvant(const ValeursAvantForcage* avant, std::string_view cle) {
    return avant ? avant->avant(cle) : std::string();
}

const LigneTaux* ligneDeTaxe(std::span<const LigneTaux> lignes, const std::string& cle) {
    for (const LigneTaux& l : lignes)
        if (qx::foldKey(l.taxe) == qx::foldKey(cle)) return &l;
    return nullptr;
}

constexpr std::string_view kStyle = R"(
@page { size: A4; margin: 14mm 12mm; }
* { box-sizing: border-box; }
body { font: 10pt/1.35 "DejaVu Sans", Arial, sans-serif; color: #111; margin: 0; }
main { max-width: 186mm; margin: 0 auto; padding: 6mm 0; }
header { border: 1.5pt solid #1b3a6b; padding: 3mm 4mm; margin-bottom: 5mm; }
header h1 { font-size: 14pt; margin: 0 0 2mm; color: #1b3a6b; }
header dl { display: grid; grid-template-columns: max-content 1fr; gap: 1mm 4mm; margin: 0; }
header dt { font-weight: bold; }
header dd { margin: 0; }
h2 { font-size: 12pt; background: #1b3a6b; color: #fff; padding: 1.5mm 3mm; margin: 6mm 0 0;
     break-after: avoid; }
h3 { font-size: 10.5pt; border-bottom: 1pt solid #1b3a6b; margin: 4mm 0 1mm; break-after: avoid; }
table { width: 100%; border-collapse: collapse; }
th, td { border: 0.5pt solid #999; padding: 1mm 2mm; vertical-align: top; }
th { background: #e8edf5; text-align: left; }
tr { break-inside: avoid; }
td.ligne, td.code { width: 12mm; text-align: center; font-family: "DejaVu Sans Mono", monospace; }
td.valeur, td.nombre { width: 28mm; text-align: right; font-family: "DejaVu Sans Mono", monospace; }
tr.forcee td { background: #fff3c4; }
tr.forcee td.valeur { font-weight: bold; }
.avant { display: block; font-size: 8.5pt; color: #6b4e00; }
.ecart { color: #a00; }
footer { margin-top: 6mm; font-size: 8pt; color: #555; }
@media print { main { padding: 0; } }
)";

}  // namespace

std::string rapportHtml(const EnteteRapport& entete, const qx::CRubriques& rubriques,
                        const ValeursAvantForcage* avant) {
    std::string h;
    h += "<!DOCTYPE html>\n<html lang=\"fr\">\n<head>\n<meta charset=\"utf-8\">\n";
    h += "<title>Déclaration de TVA " + html(entete.type) +
         (entete.societe.empty() ? "" : " — " + html(entete.societe)) + "</title>\n";
    h += "<style>" + std::string(kStyle) + "</style>\n</head>\n<body>\n<main>\n";

    h += "<header>\n<h1>Déclaration de TVA " + html(entete.type) + "</h1>\n<dl>\n";
    auto champ = [&](std::string_view nom, const std::string& valeur, std::string_view id) {
        if (!valeur.empty())
            h += "<dt>" + std::string(nom) + "</dt><dd id=\"" + std::string(id) + "\">" +
                 html(valeur) + "</dd>\n";
    };
    champ("Entreprise", entete.societe, "societe");
    champ("SIRET", entete.siret, "siret");
    if (!entete.debut.empty() || !entete.fin.empty())
        champ("Période", "du " + entete.debut + " au " + entete.fin, "periode");
    h += "</dl>\n</header>\n";

    // The forms in file order, each box in its section, in file order.
    std::vector<std::string> formulaires;
    std::map<std::string,
             std::map<std::pair<int, std::string>, std::vector<std::shared_ptr<qx::CRubrique>>>>
        plan;
    for (int32_t i = 1; i <= rubriques.Count(); ++i) {
        auto r = rubriques.Item(qx::Value(i));
        if (!r) continue;
        const std::string& f = r->CodeImprime();
        if (std::find(formulaires.begin(), formulaires.end(), f) == formulaires.end())
            formulaires.push_back(f);
        plan[f][section(f, numeroLigne(f, r->CodeRubrique()))].push_back(r);
    }

    const std::string_view type = entete.type;
    std::span<const LigneTaux> taux;
    if (type == "CA3")
        taux = kTauxCA3;
    else if (qx::UtiliseFormulaireCA12(type))
        taux = kTauxCA12;

    int forcees = 0;
    for (const std::string& f : formulaires) {
        h += "<section class=\"formulaire\" data-formulaire=\"" + html(f) + "\">\n<h2>Formulaire " +
             html(f) + "</h2>\n";
        for (const auto& [titre, boites] : plan[f]) {
            h += "<h3>" + html(titre.second) +
                 "</h3>\n<table>\n<thead><tr><th>Ligne</th>"
                 "<th>Code</th><th>Libellé</th><th>Valeur</th></tr></thead>\n<tbody>\n";
            for (const auto& r : boites) {
                const std::string cle = r->KeyRubrique();
                const std::string valeur = r->AsXML();
                std::string note;
                if (r->IsForce()) {
                    ++forcees;
                    const std::string precedente = valeurAvant(avant, cle);
                    if (const LigneTaux* l = ligneDeTaxe(taux, cle)) {
                        note = "contrôle base × taux à " + std::string(l->libelle) +
                               " : la taxe calculée est corrigée";
                    } else if (!precedente.empty() && precedente != valeur) {
                        note = "total recalculé après une correction du contrôle base × taux";
                    } else {
                        note =
                            "valeur brute modifiée par une correction, valeur affichée inchangée";
                    }
                    if (!precedente.empty()) note = "avant : " + precedente + " — " + note;
                }
                h += std::string("<tr") + (r->IsForce() ? " class=\"forcee\"" : "") + ">";
                h += "<td class=\"ligne\">" + html(numeroLigne(f, r->CodeRubrique())) + "</td>";
                h += "<td class=\"code\">" + html(r->CodeRubrique()) + "</td>";
                h += "<td class=\"libelle\">" + html(intituleRubrique(*r)) +
                     (note.empty() ? "" : "<span class=\"avant\">" + html(note) + "</span>") +
                     "</td>";
                h += "<td class=\"valeur\" data-cle=\"" + html(cle) + "\" data-forcee=\"" +
                     (r->IsForce() ? "1" : "0") + "\">" + html(valeur) + "</td></tr>\n";
            }
            h += "</tbody>\n</table>\n";
        }
        h += "</section>\n";
    }

    if (!taux.empty()) {
        h += "<section class=\"controles\">\n<h2>Contrôles de cohérence base × taux</h2>\n<table>\n"
             "<thead><tr><th>Base</th><th>Taux</th><th>Base × taux</th><th>Taxe calculée</th>"
             "<th>Écart</th><th>Résultat</th></tr></thead>\n<tbody>\n";
        for (const LigneTaux& l : taux) {
            auto base = rubriques.Item(qx::Value(std::string(l.base)));
            auto taxe = rubriques.Item(qx::Value(std::string(l.taxe)));
            if (!base || !taxe) continue;
            const std::string taxeAvant = valeurAvant(avant, l.taxe);
            const double t = taxeAvant.empty() ? taxe->AsDouble() : qx::TexteVersNombre(taxeAvant);
            if (base->AsDouble() == 0 && t == 0) continue;
            const double produit = base->AsDouble() * l.taux;
            const double attendu = qx::ArrondiEntier(produit);
            const double ecart = std::fabs(attendu - t);
            std::string resultat = "conforme";
            if (ecart != 0)
                resultat = ecart < 100 && attendu * 0.001 >= ecart
                               ? "corrigée à " + nombre(taxe->AsDouble())
                               : "écart trop grand : non corrigée";
            h += "<tr data-taxe=\"" + html(l.taxe) + "\"><td>" + html(base->CodeRubrique()) + " " +
                 base->AsXML() + "</td><td class=\"nombre\">" + std::string(l.libelle) +
                 "</td><td class=\"nombre\">" + nombre(produit) + "</td><td class=\"nombre\">" +
                 html(taxe->CodeRubrique()) + " " + nombre(t) + "</td><td class=\"nombre" +
                 (ecart != 0 ? " ecart" : "") + "\">" + nombre(ecart) + "</td><td>" + resultat +
                 "</td></tr>\n";
        }
        h += "</tbody>\n</table>\n</section>\n";
    }
    h += "<footer>" + std::to_string(rubriques.Count()) + " rubriques, " + std::to_string(forcees) +
         " forcées (surlignées). Établi par qxtva.</footer>\n";
    h += "</main>\n</body>\n</html>\n";
    return h;
}

}  // namespace qxtva
