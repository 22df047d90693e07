// JScript hosts: try/catch sees the number and the French description of
// a failing call; Enumerator walks our collections; a property read with
// an index reaches the default member. Ends with the lines the runner
// checks (count of checks, faults, then FIN).
var fautes = 0, verifications = 0;
function verifier(condition, quoi) {
    verifications++;
    if (!condition) {
        fautes++;
        WScript.Echo("FAUTE " + quoi);
    }
}
// The run-time number a Basic host reads in Err.Number.
function numero(e) { return e.number & 0xFFFF; }
function echec(appel) {
    try {
        appel();
    } catch (e) {
        return e;
    }
    return null;
}

var fso = new ActiveXObject("Scripting.FileSystemObject");
var dossier = fso.GetParentFolderName(WScript.ScriptFullName) + "\\";

var paiements = new ActiveXObject("Qx_TVA.Cls_Paiements");
paiements.Add(1, "cle");
paiements.Add(2);
var e = echec(function () { paiements.Add(3, "CLE"); });
verifier(e !== null && numero(e) == 457 && (e.number >>> 16) == 0x800A && e.description ==
    "Cette cl\u00e9 est d\u00e9j\u00e0 associ\u00e9e \u00e0 un \u00e9l\u00e9ment de cette collection",
    "cle en double : 457, en francais : " + (e && e.description));
verifier(paiements.Count == 2, "rien ajoute apres l'echec");

// Enumerator over the payments (every collection's For Each: the VBScript tests).
var cles = [];
for (var en = new Enumerator(paiements); !en.atEnd(); en.moveNext()) cles.push(en.item().Key);
verifier(cles.join(",") == "1,2", "Enumerator sur les paiements : " + cles.join(","));
verifier(paiements.Item(1) === paiements.Item("CLE"), "le meme objet revient");

// The engine: Init's error in a catch, then a rubric through the indexed property.
var calcul = new ActiveXObject("Qx_TVA.CCalculTVA");
e = echec(function () { calcul.Init(dossier + "donnees_hotes.xml", dossier + "absent.xml", ""); });
verifier(e !== null && e.number == (0x80040203 | 0) &&
    e.description == "Le fichier de description de rubrique n'existe pas",
    "Init : 0x80040203 et son message : " + (e && e.number + " " + e.description));
verifier(calcul.Init(dossier + "donnees_hotes.xml", dossier + "rubriques_hotes.xml", "") === true,
    "Init rend vrai");
verifier(calcul.Rubriques("T1A").Valeur == 1135, "rubrique par la propriete indexee");
verifier(calcul.Rubriques.Item("T9") === null, "cle absente : null sans exception");

WScript.Echo("RESULTAT collections " + verifications + " " + fautes);
WScript.Echo("FIN collections");
